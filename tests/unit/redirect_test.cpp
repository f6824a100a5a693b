// A redirected run writes only to the handles it was given: a program that
// starts on another thread meanwhile keeps the process's standard output.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/console.h"
#include "tallow.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tallow {
namespace {

namespace fs = std::filesystem;

TallowFile CreateOutput(const fs::path& path) {
#if defined(_WIN32)
    return CreateFileA(path.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       CREATE_ALWAYS, 0, nullptr);
#else
    return reinterpret_cast<TallowFile>(intptr_t(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)));
#endif
}

void CloseOutput(TallowFile file) {
#if defined(_WIN32)
    CloseHandle(file);
#else
    ::close(int(reinterpret_cast<intptr_t>(file)));
#endif
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class RedirectTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("tallow-redirect-" + std::to_string(stamp));
        fs::create_directories(dir_);
#if !defined(_WIN32)
        // A registry of the test's own: no extension the user registered loads.
        const char* old = getenv("XDG_CONFIG_HOME");
        hadConfig_ = old != nullptr;
        if (old) oldConfig_ = old;
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
#endif
    }
    void TearDown() override {
#if !defined(_WIN32)
        if (hadConfig_)
            setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
#endif
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    fs::path dir_;
    std::string oldConfig_;
    bool hadConfig_ = false;
};

// The redirected program prints until the other thread has run a whole
// program of its own, so the two runs overlap whatever the timing.
TEST_F(RedirectTest, ARedirectedRunLeavesTheProcessHandlesAlone) {
    fs::path flag = dir_ / "done";
#if defined(_WIN32)
    // The first print of a program without a console opens one, which takes
    // the process's standard handles over; an earlier test may have closed
    // the console this process started with, so it gets one first.
    AllocConsole();
#endif
    TallowFile toA = CreateOutput(dir_ / "a.txt");
    TallowFile toB = CreateOutput(dir_ / "b.txt");
    platform::Handle oldIn = platform::StdInput(), oldOut = platform::StdOutput();
    platform::SetStdHandles(oldIn, toB);

    std::string waiting =
        "while exists(\"" + flag.generic_string() + "\") = 0\r\n  print \"A\"\r\nendwhile\r\nexit 7";
    int redirectedCode = -1;
    std::thread redirected([&] { redirectedCode = RunTallowBufferRedirected(waiting.c_str(), oldIn, toA); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::error_code ec;
    while (fs::file_size(dir_ / "a.txt", ec) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    int normalCode = RunTallowBuffer("for i# = 1 to 100\r\n  print \"B\"\r\nnext\r\nexit 8");
    std::ofstream(flag) << "stop";
    redirected.join();

    EXPECT_EQ(platform::StdOutput(), toB);
    platform::SetStdHandles(oldIn, oldOut);
    CloseOutput(toA);
    CloseOutput(toB);
    EXPECT_EQ(redirectedCode, 7);
    EXPECT_EQ(normalCode, 8);
    std::string a = ReadAll(dir_ / "a.txt");
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a.find_first_not_of('A'), std::string::npos) << "the redirected file got other output";
    EXPECT_EQ(ReadAll(dir_ / "b.txt"), std::string(100, 'B'));
}

}  // namespace
}  // namespace tallow
