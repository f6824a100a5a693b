// The status window: its percent rule, its terminal line, and the program's
// parent window while it is shown (on Windows from the resource linked into
// this test).
#include "objects/status_window_object.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/program.h"
#include "objects/status_model.h"
#include "platform/message_box.h"
#include "platform/status_line.h"
#include "tests/unit/unattended_program_test.h"

namespace tallow {
namespace {

TEST(StatusModel, PercentTruncatesAndKeepsOutOfRangeValuesOut) {
    StatusModel m;
    EXPECT_EQ(m.Title(), "Progress");
    EXPECT_EQ(m.Percent(), 0);
    EXPECT_EQ(m.SetPercent(150), 0);
    EXPECT_EQ(m.SetPercent(42.9), 42);
    EXPECT_EQ(m.SetPercent(101), 42);
    EXPECT_EQ(m.SetPercent(-1), 42);
    EXPECT_EQ(m.SetPercent(std::nan("")), 42);
    EXPECT_EQ(m.SetPercent(1e300), 42);
    EXPECT_EQ(m.SetPercent(100.99), 100);
    // Truncated toward zero, -0.9 is 0 and in range.
    EXPECT_EQ(m.SetPercent(-0.9), 0);
    m.SetPercent(7);
    m.ResetPercent();
    EXPECT_EQ(m.Percent(), 0);
}

TEST(StatusLine, BarAndPercentStayWhileTheLabelGivesWay) {
    using platform::FormatStatusLine;
    EXPECT_EQ(FormatStatusLine("Copy", "a.txt", 42, 80), "Copy: a.txt [########............] 42%");
    EXPECT_EQ(FormatStatusLine("Copy", "", 100, 80), "Copy [####################] 100%");
    EXPECT_EQ(FormatStatusLine("", "only", 0, 80), "only [....................] 0%");
    EXPECT_EQ(FormatStatusLine("", "", 5, 80), "[#...................] 5%");
    // Values the model never passes are drawn clamped.
    EXPECT_EQ(FormatStatusLine("", "", 250, 80), "[####################] 100%");
    std::string bar = "[##########..........] 50%";
    EXPECT_EQ(FormatStatusLine("Title", "message", 50, bar.size() + 6), "Title " + bar);
    EXPECT_EQ(FormatStatusLine("Title", "message", 50, bar.size() + 5), "Titl " + bar);
    EXPECT_EQ(FormatStatusLine("Title", "message", 50, bar.size() + 1), " " + bar);
    EXPECT_EQ(FormatStatusLine("Title", "message", 50, bar.size()), bar);
    EXPECT_EQ(FormatStatusLine("Title", "message", 50, 4), "[###");
    EXPECT_EQ(FormatStatusLine("Title", "message", 50, 0), "");
}

class StatusObjectTest : public UnattendedProgramTest {
protected:
    void SetUp() override {
        UnattendedProgramTest::SetUp();
        status = dynamic_cast<StatusWindowObject*>(program.FindObject("status"));
        ASSERT_NE(status, nullptr);
    }
    platform::Handle Handle() {
        return reinterpret_cast<platform::Handle>(uintptr_t(status->GetNumMember("handle")));
    }

    StatusWindowObject* status = nullptr;
};

// While shown the window owns what the program opens; hiding it gives the
// host's window back, and only a shown window does.
TEST_F(StatusObjectTest, ShownWindowIsTheProgramsParentWindow) {
    int hostWindow = 0;
    platform::Handle host = &hostWindow;
    program.parentWindow = host;
    platform::Handle handle = Handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(Run("status.hide"), "");
    EXPECT_EQ(program.parentWindow, host);
    EXPECT_EQ(Run("status.show"), "");
    EXPECT_EQ(program.parentWindow, handle);
    // Shown twice, it still remembers the host's window, not itself.
    EXPECT_EQ(Run("status.show"), "");
    EXPECT_EQ(Run("status.hide"), "");
    EXPECT_EQ(program.parentWindow, host);
    EXPECT_EQ(Run("status.hide"), "");
    EXPECT_EQ(program.parentWindow, host);
    EXPECT_EQ(Handle(), handle);
}

TEST_F(StatusObjectTest, ShowStartsTheBarAtZero) {
    EXPECT_EQ(Run("status.setpercent 30\rstatus.show\rstatus.setpercent 150"), "");
    EXPECT_EQ(status->Model().Percent(), 0);
    EXPECT_EQ(Run("status.percent# = 64.5\rstatus.hide"), "");
    EXPECT_EQ(status->Model().Percent(), 64);
    EXPECT_EQ(Run("status.setmessage"), "required parameter missing");
    EXPECT_EQ(Run("status.setpercent"), "required parameter missing");
    EXPECT_EQ(Run("status.percent# = 20\rstatus.setcaption\r"), "required parameter missing");
    EXPECT_EQ(status->Model().Percent(), 20);
    EXPECT_EQ(status->Model().Title(), "Progress");
}

}  // namespace
}  // namespace tallow
