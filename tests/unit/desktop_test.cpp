// The desktop members that tests can reach without a desktop: the filter
// lists of the file choosers and their limit, and exitwindows through the
// session seam (no test may end this machine's session).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/main_object.h"
#include "core/program.h"
#include "objects/file_filter.h"
#include "objects/system_object.h"
#include "platform/confinement.h"
#include "platform/desktop.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

using namespace std::string_literals;

TEST(FileFilter, BarsBecomeNulsAndTheListEndsInTwoMore) {
    EXPECT_EQ(BuildFilterList(kDefaultFileFilter), "All Files (*.*)\0*.*\0\0"s);
    EXPECT_EQ(BuildFilterList("Text|*.txt|Any|*.*"), "Text\0*.txt\0Any\0*.*\0\0"s);
    EXPECT_EQ(BuildFilterList("Odd|*.o|Lone"), "Odd\0*.o\0Lone\0\0"s);  // as it always was
    EXPECT_EQ(BuildFilterList(""), "");
}

TEST(FileFilter, TooLongKeepsTheWholePairsThatFit) {
    // 253 bytes of text, two NULs and the terminator fill the 256-byte buffer.
    std::string pair = "N|" + std::string(8, 'p') + "|";  // 11 bytes with its bar
    std::string fits = "Name|" + std::string(248, 'x');
    ASSERT_EQ(fits.size(), kFileDialogBuffer - 3);
    EXPECT_EQ(BuildFilterList(fits).size(), kFileDialogBuffer - 1);
    // One byte more: the only pair does not fit, so there is no filter.
    EXPECT_EQ(BuildFilterList(fits + "x"), "");
    std::string many;
    while (many.size() < 400)
        many += pair;
    std::string list = BuildFilterList(many);
    EXPECT_EQ(list.size(), 23u * 11 + 1);  // 23 pairs, the last bar a NUL, and one NUL more
    EXPECT_EQ(list.substr(list.size() - 3), "p\0\0"s);
    EXPECT_EQ(list.substr(0, 11), "N\0pppppppp\0"s);
    EXPECT_TRUE(FitsFileNameBuffer(std::string(255, 'f')));
    EXPECT_FALSE(FitsFileNameBuffer(std::string(256, 'f')));
}

// Every request EndSession makes, answered with the next answer.
std::vector<platform::SessionEndRequest> gRequests;
bool gAnswer = false;
bool Record(const platform::SessionEndRequest& request) {
    gRequests.push_back(request);
    return gAnswer;
}

class ExitWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver([](void*, std::string_view, std::string_view) {}, nullptr);
        platform::SetSessionEnder(Record);
        // Never go on without the seam in place.
        ASSERT_EQ(platform::CurrentSessionEnder(), &Record);
        gRequests.clear();
        gAnswer = false;
    }
    void TearDown() override {
        platform::SetSessionEnder(nullptr);
        platform::SetBoxObserver(nullptr, nullptr);
        platform::SetConfined(false);
    }

    // The message of the error that stopped text, "" when none did.
    std::string Run(const std::string& text) {
        program.keepState = true;
        program.Run(("e$ = \"\"\ntry\n" + text + "\ncatch\ne$ = ErrMsg$\nendtry\n").c_str());
        return program.Main().strMembers.Get("e");
    }

    Program program;
};

TEST_F(ExitWindowsTest, TheFlagsReachTheSystemAndARefusalIsAnError) {
    EXPECT_EQ(Run("exitwindows ewReboot@"), msg::kCouldNotExitWindows);
    ASSERT_EQ(gRequests.size(), 1u);
    EXPECT_EQ(gRequests[0].flags, 2u);
    gAnswer = true;
    EXPECT_EQ(Run("exitwindows ewPowerOff@ + 4"), "");
    ASSERT_EQ(gRequests.size(), 2u);
    EXPECT_EQ(gRequests[1].flags, 12u);
}

TEST_F(ExitWindowsTest, TheConsoleIsClosedFirst) {
    program.OpenConsole();
    ASSERT_EQ(program.consoleAllocated, 1);
    EXPECT_EQ(Run("exitwindows ewLogOff@"), msg::kCouldNotExitWindows);
    EXPECT_EQ(program.consoleAllocated, 0);
}

TEST_F(ExitWindowsTest, ConfinedNothingIsAsked) {
    platform::SetConfined(true);
    gAnswer = true;
    EXPECT_EQ(Run("exitwindows ewShutDown@"), msg::kCouldNotExitWindows);
    EXPECT_TRUE(gRequests.empty());
}

#ifndef _WIN32
TEST_F(ExitWindowsTest, LinuxEndsTheSessionWithLoginctlOrSystemctl) {
    gAnswer = true;
    Run("exitwindows ewReboot@\nexitwindows ewShutDown@\nexitwindows ewPowerOff@\n"
        "exitwindows ewReboot@ + ewShutDown@ + 4\nexitwindows ewPowerOff@ + 16");
    using Command = std::vector<std::string>;
    ASSERT_EQ(gRequests.size(), 5u);
    EXPECT_EQ(gRequests[0].command, (Command{"systemctl", "reboot"}));
    EXPECT_EQ(gRequests[1].command, (Command{"systemctl", "poweroff"}));
    EXPECT_EQ(gRequests[2].command, (Command{"systemctl", "poweroff"}));
    EXPECT_EQ(gRequests[3].command, (Command{"systemctl", "reboot", "--ignore-inhibitors"}));
    EXPECT_EQ(gRequests[4].command, (Command{"systemctl", "poweroff", "--ignore-inhibitors"}));

    const char* old = getenv("XDG_SESSION_ID");
    std::string saved = old ? old : "";
    setenv("XDG_SESSION_ID", "c42", 1);
    Run("exitwindows ewLogOff@ + 4");
    unsetenv("XDG_SESSION_ID");
    Run("exitwindows ewLogOff@");
    if (old) setenv("XDG_SESSION_ID", saved.c_str(), 1);
    ASSERT_EQ(gRequests.size(), 7u);
    EXPECT_EQ(gRequests[5].command, (Command{"loginctl", "terminate-session", "c42"}));
    // No id known: the empty one, which loginctl takes as the caller's session.
    EXPECT_EQ(gRequests[6].command, (Command{"loginctl", "terminate-session", ""}));
}
#endif

}  // namespace
}  // namespace tallow
