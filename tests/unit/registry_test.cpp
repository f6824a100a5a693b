// The registry interface on both targets: the real registry under Wine (in a
// key of the test's own, removed afterwards), the SQLite store on Linux (in a
// temporary XDG_CONFIG_HOME), including two writing processes and a writer
// killed in the middle of its work.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "api/extension_host.h"
#include "core/program.h"
#include "platform/message_box.h"

#if !defined(_WIN32)
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include <process.h>
#endif

namespace tallow::platform {
namespace {

using std::string_literals::operator""s;
constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;

int ProcessId() {
#if defined(_WIN32)
    return _getpid();
#else
    return getpid();
#endif
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = "Software\\Quenby Software\\Tallow\\UnitTest" + std::to_string(ProcessId());
#if !defined(_WIN32)
        folder_ = std::filesystem::temp_directory_path() / ("tallow-registry-" + std::to_string(ProcessId()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        const char* old = getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (old) oldConfig_ = old;
        setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
#endif
    }

    void TearDown() override {
#if defined(_WIN32)
        RemoveTree(base_);
#else
        if (hadOld_)
            setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(folder_);
#endif
    }

    // Removes what the tests created below the test's own key.
    void RemoveTree(const std::string& path) {
        for (const char* sub : {"a\\b\\c", "a\\b", "a", "gone", "ro", "values", "v"}) {
            RegistryKey key;
            if (key.Open(kUser, path, true)) key.DeleteSubKey(sub);
        }
        RegistryKey parent;
        if (parent.Open(kUser, "Software\\Quenby Software\\Tallow", true))
            parent.DeleteSubKey(path.substr(path.rfind('\\') + 1));
    }

    std::string Path(const std::string& sub) const {
        return base_ + "\\" + sub;
    }

    std::string base_;
#if !defined(_WIN32)
    std::filesystem::path folder_;
    std::string oldConfig_;
    bool hadOld_ = false;
#endif
};

TEST_F(RegistryTest, OpeningAMissingKeyFailsAndCreatesNothing) {
    RegistryKey key;
    EXPECT_FALSE(key.Open(kUser, Path("a"), false));
    EXPECT_FALSE(key.Open(kUser, Path("a"), true));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.SetValue("x", kRegSz, "y"));
#if !defined(_WIN32)
    EXPECT_FALSE(std::filesystem::exists(folder_ / "tallow"));
#endif
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndBytes) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kUser, Path("a\\b\\c")));
    const std::string binary = "\x00\x01\xff\x00z"s;
    const std::string dword("\x2a\x00\x00\x00", 4);
    EXPECT_TRUE(key.SetValue("text", kRegSz, std::string_view("hello\0", 6)));
    EXPECT_TRUE(key.SetValue("binary", kRegBinary, binary));
    EXPECT_TRUE(key.SetValue("number", kRegDword, dword));
    EXPECT_TRUE(key.SetValue("empty", kRegBinary, ""));
    EXPECT_TRUE(key.SetValue("", kRegSz, std::string_view("default\0", 8)));

    RegistryKey again;
    ASSERT_TRUE(again.Open(kUser, Path("a\\b\\c"), false));
    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(again.QueryValue("text", type, data));
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, std::string("hello\0", 6));
    ASSERT_TRUE(again.QueryValue("binary", type, data));
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(data, binary);
    ASSERT_TRUE(again.QueryValue("number", type, data));
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, dword);
    ASSERT_TRUE(again.QueryValue("empty", type, data));
    EXPECT_EQ(data, "");
    ASSERT_TRUE(again.QueryValue("", type, data));
    EXPECT_EQ(data, std::string("default\0", 8));
    EXPECT_FALSE(again.QueryValue("missing", type, data));
    // Opened for reading only: nothing can be changed through it.
    EXPECT_FALSE(again.SetValue("text", kRegSz, "x"));
    EXPECT_FALSE(again.DeleteValue("text"));
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirSpelling) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kUser, Path("Values")));
    // Strings are written with their NUL, as the ANSI calls of Windows read them.
    ASSERT_TRUE(key.SetValue("MixedCase", kRegSz, std::string_view("1\0", 2)));
    ASSERT_TRUE(key.SetValue("MIXEDCASE", kRegSz, std::string_view("2\0", 2)));  // the same value
    RegistryKey upper;
    ASSERT_TRUE(upper.Open(kUser, Path("VALUES"), false));
    uint32_t type = 0;
    std::string name, data;
    ASSERT_EQ(upper.EnumValue(0, name, type, data), RegistryEnum::kValue);
    EXPECT_EQ(name, "MixedCase");
    EXPECT_EQ(data, std::string("2\0", 2));
    EXPECT_EQ(upper.EnumValue(1, name, type, data), RegistryEnum::kNoMoreItems);
}

TEST_F(RegistryTest, EnumerationIsStableAndEndsAfterTheLast) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kUser, Path("v")));
    for (const char* n : {"one", "two", "three"})
        ASSERT_TRUE(key.SetValue(n, kRegSz, n));
    ASSERT_TRUE(key.SetValue("two", kRegSz, "TWO"));  // overwriting keeps its place
    std::vector<std::string> names, values;
    std::string name, data;
    uint32_t type = 0;
    for (uint32_t i = 0; key.EnumValue(i, name, type, data) == RegistryEnum::kValue; ++i) {
        names.push_back(name);
        values.push_back(data);
    }
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(key.EnumValue(3, name, type, data), RegistryEnum::kNoMoreItems);
#if !defined(_WIN32)
    // The order the store promises: creation order (Windows promises none).
    EXPECT_EQ(names, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(values, (std::vector<std::string>{"one", "TWO", "three"}));
#endif
    EXPECT_TRUE(key.DeleteValue("TWO"));
    EXPECT_FALSE(key.DeleteValue("two"));
    EXPECT_EQ(key.EnumValue(2, name, type, data), RegistryEnum::kNoMoreItems);
}

TEST_F(RegistryTest, DeletingKeys) {
    RegistryKey deep;
    ASSERT_TRUE(deep.Create(kUser, Path("a\\b\\c")));
    ASSERT_TRUE(deep.SetValue("x", kRegSz, "y"));
    RegistryKey base;
    ASSERT_TRUE(base.Open(kUser, base_, true));
    EXPECT_FALSE(base.DeleteSubKey("a"));  // it has subkeys
    EXPECT_FALSE(base.DeleteSubKey("nosuch"));
    EXPECT_FALSE(base.DeleteSubKey(""));
    EXPECT_TRUE(base.DeleteSubKey("a\\b\\c"));
    RegistryKey probe;
    EXPECT_FALSE(probe.Open(kUser, Path("a\\b\\c"), false));
    EXPECT_TRUE(probe.Open(kUser, Path("a\\b"), false));
    // A handle to a deleted key writes nothing anywhere.
    EXPECT_FALSE(deep.SetValue("x", kRegSz, "z"));
    // Created again, the key starts without the old values.
    ASSERT_TRUE(deep.Create(kUser, Path("a\\b\\c")));
    uint32_t type = 0;
    std::string data;
    EXPECT_FALSE(deep.QueryValue("x", type, data));
    EXPECT_TRUE(base.DeleteSubKey("a\\b\\c"));
    EXPECT_TRUE(base.DeleteSubKey("a\\b"));
    EXPECT_TRUE(base.DeleteSubKey("a"));
}

TEST_F(RegistryTest, RootsAreSeparate) {
    RegistryKey user;
    ASSERT_TRUE(user.Create(kUser, Path("ro")));
    RegistryKey other;
    EXPECT_FALSE(other.Open(RegistryRoot::kUsers, Path("ro"), false));
}

#if !defined(_WIN32)

// Writes count values "<prefix><i>" = "<prefix><i>" into key v, one by one.
void WriteMany(const std::string& path, const std::string& prefix, int count) {
    RegistryKey key;
    if (!key.Create(kUser, path)) _exit(2);
    for (int i = 0; i < count; ++i) {
        std::string name = prefix + std::to_string(i);
        if (!key.SetValue(name, kRegSz, name)) _exit(3);
    }
}

std::vector<std::pair<std::string, std::string>> ReadAll(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> all;
    RegistryKey key;
    if (!key.Open(kUser, path, false)) return all;
    std::string name, data;
    uint32_t type = 0;
    for (uint32_t i = 0; key.EnumValue(i, name, type, data) == RegistryEnum::kValue; ++i)
        all.emplace_back(name, data);
    return all;
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kEach = 60;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WriteMany(Path("v"), "child", kEach);
        _exit(0);
    }
    WriteMany(Path("v"), "parent", kEach);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    auto all = ReadAll(Path("v"));
    EXPECT_EQ(all.size(), size_t(2 * kEach));
    for (const auto& [name, data] : all)
        EXPECT_EQ(name, data);
}

TEST_F(RegistryTest, AWriterKilledMidWayLeavesTheStoreWhole) {
    {
        RegistryKey key;
        ASSERT_TRUE(key.Create(kUser, Path("v")));
        ASSERT_TRUE(key.SetValue("before", kRegSz, "before"));
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Creates keys and writes large values until it is killed.
        RegistryKey key;
        for (int i = 0;; ++i) {
            std::string name = "k" + std::to_string(i);
            if (!key.Create(kUser, Path("v\\" + name))) _exit(2);
            key.SetValue("big", kRegBinary, std::string(64 * 1024, char('a' + i % 26)));
            RegistryKey v;
            if (v.Open(kUser, Path("v"), true)) v.SetValue(name, kRegSz, name);
        }
    }
    usleep(150 * 1000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));

    auto all = ReadAll(Path("v"));
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front().first, "before");
    for (const auto& [name, data] : all)
        EXPECT_EQ(name, data);
    // Whatever the killed writer managed, the store takes new writes.
    RegistryKey key;
    ASSERT_TRUE(key.Create(kUser, Path("v")));
    EXPECT_TRUE(key.SetValue("after", kRegSz, "after"));
    uint32_t type = 0;
    std::string data;
    EXPECT_TRUE(key.QueryValue("after", type, data));
}

TEST_F(RegistryTest, AStoreRemovedBetweenCallsIsNotReadThroughAnOldConnection) {
    {
        RegistryKey key;
        ASSERT_TRUE(key.Create(kUser, Path("v")));
        ASSERT_TRUE(key.SetValue("old", kRegSz, "old"));
    }
    std::filesystem::remove_all(folder_ / "tallow");
    RegistryKey key;
    EXPECT_FALSE(key.Open(kUser, Path("v"), false));
    ASSERT_TRUE(key.Create(kUser, Path("v")));
    uint32_t type = 0;
    std::string data;
    EXPECT_FALSE(key.QueryValue("old", type, data));
    ASSERT_TRUE(key.SetValue("new", kRegSz, "new"));
    key.Close();
    EXPECT_EQ(ReadAll(Path("v")).size(), 1u);
}

// What the loader reads of the registrations, just inside and past its
// limits. A registration that is read points at a missing library, which
// stops the run; one that is skipped lets the run end normally.
TEST_F(RegistryTest, TheLoaderSkipsRegistrationsPastItsLimits) {
    RegistryKey objects;
    ASSERT_TRUE(objects.Create(kUser, std::string(kExtensionsKey) + "\\Objects"));
    std::string missing = "1;" + (folder_ / "missing.tlx").string() + '\0';
    std::string longest(kMaxRegistrationData - 1, 'x');
    longest.replace(0, 2, "1;");
    ASSERT_TRUE(objects.SetValue(std::string(kMaxRegistrationName + 1, 'n'), kRegSz, missing));
    ASSERT_TRUE(objects.SetValue("", kRegSz, missing));
    ASSERT_TRUE(objects.SetValue("big", kRegSz, longest + "xx"));
    SetUnattended(true);
    Program program;
    EXPECT_EQ(program.Run("exit 4"), 1);
    EXPECT_EQ(program.exitCode, 4);
    ASSERT_TRUE(objects.SetValue("big", kRegSz, longest + '\0'));
    EXPECT_EQ(program.Run("exit 5"), 0);
    ASSERT_TRUE(objects.DeleteValue("big"));
    EXPECT_EQ(program.Run("exit 5"), 1);
    ASSERT_TRUE(objects.SetValue(std::string(kMaxRegistrationName, 'n'), kRegSz, missing));
    EXPECT_EQ(program.Run("exit 6"), 0);
    EXPECT_EQ(program.exitCode, 5);
}

// A damaged store loses every registration; that is said once, with the
// file's path, and runs go on without extensions.
TEST_F(RegistryTest, ADamagedStoreIsReportedOnceAndRunsGoOn) {
    std::filesystem::create_directories(folder_ / "tallow");
    std::string file = (folder_ / "tallow" / "registry.db").string();
    std::ofstream(file, std::ios::binary) << std::string(4096, 'x');
    SetUnattended(true);
    testing::internal::CaptureStderr();
    Program program;
    EXPECT_EQ(program.Run("exit 3"), 1);
    EXPECT_EQ(program.exitCode, 3);
    EXPECT_EQ(program.Run("exit 4"), 1);
    RegistryKey key;
    EXPECT_FALSE(key.Create(kUser, Path("v")));
    EXPECT_FALSE(key.Open(kUser, Path("v"), false));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tallow: the extension registry " + file +
                  " is damaged (file is not a database); no extensions are loaded from it\n");
    EXPECT_EQ(program.exitCode, 4);
}

TEST_F(RegistryTest, TheStoreLivesInXdgConfigHomeOrUnderHome) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(kUser, Path("v")));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "tallow" / "registry.db"));
    key.Close();
    // A relative XDG_CONFIG_HOME does not count: the store goes under HOME.
    const char* home = getenv("HOME");
    std::string oldHome = home ? home : "";
    setenv("HOME", folder_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_TRUE(key.Create(kUser, Path("v")));
    EXPECT_TRUE(std::filesystem::exists(folder_ / ".config" / "tallow" / "registry.db"));
    key.Close();
    if (home)
        setenv("HOME", oldHome.c_str(), 1);
    else
        unsetenv("HOME");
}

#endif  // !_WIN32

}  // namespace
}  // namespace tallow::platform

namespace tallow {
namespace {

TEST(RegistrationData, NumberBeforeTheFirstSemicolonAndPathAfterIt) {
    struct Case {
        std::string bytes;
        TallowValue data;
        const char* path;
    };
    const Case cases[] = {
        {"7;C:\\ext\\demo.tlx", 7, "C:\\ext\\demo.tlx"},
        {std::string("7;/x/demo.tlx\0", 14), 7, "/x/demo.tlx"},
        {std::string("5;p\0junk;q", 10), 5, "p"},
        {"12;a;b", 12, "a;b"},
        {"7", 7, ""},  // no ";": no library path
        {" 3;x", 3, "x"},
        {"abc;x", 0, "x"},
        {"-4;x", -4, "x"},
        {";x", 0, "x"},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        Registration r = ParseRegistration(c.bytes);
        EXPECT_EQ(r.data, c.data) << c.bytes;
        EXPECT_EQ(r.path, c.path) << c.bytes;
    }
}

}  // namespace
}  // namespace tallow
