// Processes on Windows, under Wine: what a script cannot see for itself. A
// capture gives the process its standard output back and leaves no file in
// the temporary folder; winexec's wait dispatches the thread's messages and
// ends at a quit message, which the thread's own loop then still receives.
// The child programs are this test itself, started with --sleep-ms N.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/program.h"
#include "expr/string_array.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

std::string SelfPath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length);
}

// A string expression for the command that runs this test as a child
// sleeping for ms milliseconds. A script string holds no double quote, so the
// quotes around the path come from chr(34).
std::string SleepCommand(int ms) {
    return "chr(34) + \"" + SelfPath() + "\" + chr(34) + \" --sleep-ms " + std::to_string(ms) + "\"";
}

int CountCaptureFiles() {
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((std::string(folder) + "tal*.tmp").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileA(search, &data));
    FindClose(search);
    return count;
}

// Runs text in a program that keeps its arrays after the run.
class ProcessWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        program_.keepState = true;
    }
    int Run(const std::string& text) { return program_.Run(text.c_str()); }

    Program program_;
};

// Points TMP and TEMP at a folder of this process's own while it lives, so
// that capture files of tests running beside it are not counted.
class PrivateTemp {
public:
    PrivateTemp() {
        char base[MAX_PATH + 1];
        GetTempPathA(sizeof base, base);
        folder_ = std::string(base) + "tallow-capture-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        for (const char* name : {"TMP", "TEMP"}) {
            char value[MAX_PATH + 1];
            DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
            saved_.emplace_back(name, length > 0 && length < sizeof value ? std::string(value, length) : "");
            SetEnvironmentVariableA(name, folder_.c_str());
        }
    }
    ~PrivateTemp() {
        for (const auto& [name, value] : saved_)
            SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    PrivateTemp(const PrivateTemp&) = delete;
    PrivateTemp& operator=(const PrivateTemp&) = delete;

private:
    std::string folder_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(ProcessWineTest, CaptureGivesTheStandardOutputBackAndLeavesNoFile) {
    PrivateTemp temp;
    HANDLE before = GetStdHandle(STD_OUTPUT_HANDLE);
    int files = CountCaptureFiles();
    ASSERT_EQ(Run("system \"echo one&& echo two\", out\ncode# = exec(\"no-such-program-of-tallow\", none)\n"),
              1);
    EXPECT_EQ(GetStdHandle(STD_OUTPUT_HANDLE), before);
    EXPECT_EQ(CountCaptureFiles(), files);
    StringArrayObject* out = program_.FindStringArray("out");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->items, (std::vector<std::string>{"one", "two"}));
    ASSERT_NE(program_.FindStringArray("none"), nullptr);
    EXPECT_TRUE(program_.FindStringArray("none")->items.empty());
}

// Timer messages need dispatching to reach their procedure.
int gTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    ++gTicks;
}

TEST_F(ProcessWineTest, WinexecWaitDispatchesMessages) {
    gTicks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
    ASSERT_EQ(Run("winexec " + SleepCommand(600) + ", 1\n"), 1);
    KillTimer(nullptr, timer);
    EXPECT_GT(gTicks, 0);
}

TEST_F(ProcessWineTest, QuitMessageEndsTheWaitAndStaysForTheLoop) {
    PostQuitMessage(5);
    DWORD start = GetTickCount();
    ASSERT_EQ(Run("winexec " + SleepCommand(8000) + ", 1\n"), 1);
    EXPECT_LT(GetTickCount() - start, 5000u);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);
}

TEST_F(ProcessWineTest, ChildrenSeeTheEnvironmentAndGiveTheirExitCodes) {
    ASSERT_EQ(Run("setenv \"TALLOW_WINE_PROBE=seen\"\n"
                  "system \"echo %TALLOW_WINE_PROBE%\", env\n"
                  "if exec(\"cmd /c exit 9\") <> 9 then throw \"exit code\" endif\n"
                  "setenv \"TALLOW_WINE_PROBE=\"\n"
                  "if getenv(\"TALLOW_WINE_PROBE\") <> \"\" then throw \"not removed\" endif\n"),
              1);
    EXPECT_EQ(program_.FindStringArray("env")->items, std::vector<std::string>{"seen"});
    EXPECT_EQ(GetEnvironmentVariableA("TALLOW_WINE_PROBE", nullptr, 0), 0u);
}

}  // namespace
}  // namespace tallow

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--sleep-ms") == 0) {
        Sleep(DWORD(std::atoi(argv[2])));
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
