// The clock object against a clock of the test's own (so that no test sets
// the machine's clock): reading and setting the time through the members and
// the systemtime property, and the failures of setting it.
#include "objects/clock_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "core/program.h"
#include "expr/string_array.h"
#include "platform/clock.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

class FakeClock : public platform::SystemClock {
public:
    platform::LocalTime Now() override { return now; }
    bool Set(const platform::LocalTime& time) override {
        ++sets;
        if (refuse) return false;
        now = time;
        return true;
    }

    platform::LocalTime now{2024, 2, 29, 23, 59, 58};
    bool refuse = false;
    int sets = 0;
};

class ClockObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver([](void*, std::string_view, std::string_view) {}, nullptr);
        platform::InstallClock(&clock);
    }
    void TearDown() override {
        platform::InstallClock(nullptr);
        platform::SetBoxObserver(nullptr, nullptr);
    }

    // The elements of the string array out after running text, and
    // "error: MESSAGE" last when the run failed.
    std::vector<std::string> Out(const std::string& text) {
        program.keepState = true;
        program.Run(("new out as stringarray\n" + text).c_str());
        std::vector<std::string> items;
        if (StringArrayObject* out = program.FindStringArray("out")) items = out->items;
        if (program.Outcome() == RunOutcome::Failed)
            items.push_back("error: " + program.LastRunError().message);
        return items;
    }

    using Lines = std::vector<std::string>;
    FakeClock clock;
    Program program;
};

constexpr const char kStamp[] = "#Y-#m-#d #H:#n:#s";

TEST_F(ClockObjectTest, NowSystemTimeAndThePropertyReadTheClock) {
    EXPECT_EQ(Out("out.add clock.format(clock.now(), \"#Y-#m-#d #H:#n:#s $D\")\n"
                  "out.add clock.format(clock.getsystemtime(), \"#Y-#m-#d #H:#n:#s\")\n"
                  "out.add clock.format(clock.systemtime#, \"#Y-#m-#d #H:#n:#s\")\n"
                  "out.add clock.format(clock.SystemTime#, \"#s\")\n"),
              (Lines{"2024-02-29 23:59:58 Thursday", "2024-02-29 23:59:58", "2024-02-29 23:59:58", "58"}));
    EXPECT_EQ(clock.sets, 0);
}

TEST_F(ClockObjectTest, SettingTheTimeGivesTheClockTheParts) {
    EXPECT_EQ(Out(std::string("clock.setsystemtime clock.date(2001, 2, 3) + clock.time(4, 5, 6)\n"
                              "out.add clock.format(clock.now(), \"") +
                  kStamp +
                  "\")\n"
                  "clock.systemtime# = clock.date(1999, 12, 31) + clock.time(23, 59, 59)\n"
                  "out.add clock.format(clock.getsystemtime(), \"" +
                  kStamp + "\")\n"),
              (Lines{"2001-02-03 04:05:06", "1999-12-31 23:59:59"}));
    EXPECT_EQ(clock.sets, 2);
    // A time that rounds to midnight sets the next day.
    Out("clock.setsystemtime clock.date(2000, 2, 28) + 0.9999999\n");
    EXPECT_EQ(clock.now.month, 2);
    EXPECT_EQ(clock.now.day, 29);
    EXPECT_EQ(clock.now.hour, 0);
}

TEST_F(ClockObjectTest, ARefusedOrUnusableTimeIsARuntimeError) {
    clock.refuse = true;
    EXPECT_EQ(Out("try\n clock.setsystemtime clock.now()\ncatch\n out.add ErrMsg$\nendtry\n"
                  "try\n clock.systemtime# = 1\ncatch\n out.add ErrMsg$\nendtry\n"),
              (Lines{msg::kCouldNotSetSystemTime, msg::kCouldNotSetSystemTime}));
    EXPECT_EQ(clock.sets, 2);
    // A number that names no date never reaches the clock.
    clock.refuse = false;
    EXPECT_EQ(Out("try\n clock.setsystemtime 1e300\ncatch\n out.add ErrMsg$\nendtry\n"
                  "try\n clock.setsystemtime 0 - 1e300\ncatch\n out.add ErrMsg$\nendtry\n"),
              (Lines{msg::kCouldNotSetSystemTime, msg::kCouldNotSetSystemTime}));
    EXPECT_EQ(clock.sets, 2);
    EXPECT_EQ(Out("clock.setsystemtime\n"), (Lines{std::string("error: ") + msg::kRequiredParameter}));
    EXPECT_EQ(clock.sets, 2);
}

}  // namespace
}  // namespace tallow
