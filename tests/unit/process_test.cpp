// Starting programs while confined: text nobody trusts (the fuzz targets)
// may name any command, so nothing starts, no capture file is made and the
// environment stays as it is.
#include "platform/process.h"

#include <gtest/gtest.h>

#include "platform/confinement.h"

namespace tallow::platform {
namespace {

// A program both targets have, run to end with exit code 3.
#if defined(_WIN32)
const std::vector<std::string> kExitThree = {"cmd", "/c", "exit 3"};
#else
const std::vector<std::string> kExitThree = {"sh", "-c", "exit 3"};
#endif
const char kShellExitThree[] = "exit 3";

class Confinement {
public:
    Confinement() { SetConfined(true); }
    ~Confinement() { SetConfined(false); }
};

TEST(Process, ConfinedStartsNothing) {
    ASSERT_EQ(SpawnAndWait(kExitThree, nullptr), 3);
    ASSERT_EQ(RunShellCommand(kShellExitThree, nullptr), 3);
    Confinement confined;
    EXPECT_EQ(SpawnAndWait(kExitThree, nullptr), kNotStarted);
    EXPECT_EQ(RunShellCommand(kShellExitThree, nullptr), kNotStarted);
    EXPECT_FALSE(StartCommandLine("sh -c true").has_value());
    EXPECT_FALSE(OpenDocument("process_test.txt", "open").has_value());
    EXPECT_FALSE(CaptureFile().IsOpen());
    PutEnvironment("TALLOW_CONFINED_PROBE=1");
    EXPECT_EQ(GetEnvironment("TALLOW_CONFINED_PROBE"), "");
}

TEST(Process, CaptureFileReadsWhatTheChildWrote) {
    CaptureFile capture;
    ASSERT_TRUE(capture.IsOpen());
    EXPECT_EQ(capture.Size(), 0u);
    EXPECT_EQ(RunShellCommand("echo captured", &capture), 0);
    std::string bytes = capture.ReadAll();
    EXPECT_EQ(bytes.substr(0, 8), "captured");
    EXPECT_EQ(capture.Size(), bytes.size());
    // Read twice, the same bytes: reading starts at the file's start.
    EXPECT_EQ(capture.ReadAll(), bytes);
}

}  // namespace
}  // namespace tallow::platform
