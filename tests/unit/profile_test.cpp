// Initialisation files through the profile interface in a folder of the
// test's own: a CR LF file on both targets (under Wine the private-profile
// functions); on Linux also where a name without a folder goes, and that a
// write never loses the rest of the file.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <stdlib.h>
#include <unistd.h>
#else
#include <process.h>
#endif

namespace tallow::platform {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

#if !defined(_WIN32)
std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
#endif

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(_WIN32)
        int pid = _getpid();
#else
        int pid = getpid();
        const char* old = getenv("XDG_CONFIG_HOME");
        oldConfig_ = old ? std::optional<std::string>(old) : std::nullopt;
#endif
        folder_ = fs::temp_directory_path() / ("tallow-profile-" + std::to_string(pid));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = (folder_ / "test.ini").string();
#if !defined(_WIN32)
        setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
#endif
    }

    void TearDown() override {
#if !defined(_WIN32)
        if (oldConfig_)
            setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
#endif
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    bool Write(const std::string& file, const std::string& key, const std::string& value) {
        return WriteProfileEntry(file, "s", &key, &value);
    }

    fs::path folder_;
    std::string file_;
    std::optional<std::string> oldConfig_;
};

TEST_F(ProfileTest, CrLfFileIsReadAndWritten) {
    std::ofstream(file_, std::ios::binary) << "[Main]\r\nKey = value one \r\n\r\n[S]\r\nn=12\r\n";
    EXPECT_EQ(ReadProfileString(file_, "main", "key", ""), "value one");
    EXPECT_EQ(ReadProfileNumber(file_, "s", "N", 0), 12u);
    EXPECT_EQ(ProfileSectionNames(file_), (Names{"Main", "S"}));
    ASSERT_TRUE(Write(file_, "added", "yes"));
    EXPECT_EQ(ProfileKeyNames(file_, "s"), (Names{"n", "added"}));
    EXPECT_EQ(ReadProfileString(file_, "main", "key", ""), "value one");
#if !defined(_WIN32)
    EXPECT_EQ(Slurp(file_), "[Main]\r\nKey = value one \r\n\r\n[S]\r\nn=12\r\nadded=yes\r\n");
#endif
}

#if !defined(_WIN32)

TEST_F(ProfileTest, NameWithoutFolderLivesInTheConfigFolder) {
    ASSERT_TRUE(Write("bare.ini", "k", "v"));
    EXPECT_EQ(Slurp(folder_ / "config" / "tallow" / "bare.ini"), "[s]\nk=v\n");
    EXPECT_EQ(fs::status(folder_ / "config" / "tallow").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(ReadProfileString("bare.ini", "s", "k", ""), "v");
    fs::path old = fs::current_path();
    fs::current_path(folder_);
    EXPECT_EQ(ReadProfileString("./bare.ini", "s", "k", "none"), "none");
    fs::current_path(old);
    EXPECT_FALSE(Write("", "k", "v"));
}

TEST_F(ProfileTest, WritesReplaceTheFileWholeAndKeepItsLinkAndMode) {
    fs::path real = folder_ / "real.ini";
    std::ofstream(real, std::ios::binary) << "; keep me\n[s]\nk=1\n";
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(real, mode);
    fs::create_symlink("real.ini", folder_ / "link.ini");
    std::string link = (folder_ / "link.ini").string();
    ASSERT_TRUE(Write(link, "k", "2"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real), "; keep me\n[s]\nk=2\n");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, mode);
    // Deleting what is not there writes nothing, and makes no file.
    std::string missing = "missing";
    EXPECT_TRUE(WriteProfileEntry(link, "s", &missing, nullptr));
    EXPECT_TRUE(WriteProfileEntry(file_, "none", nullptr, nullptr));
    EXPECT_FALSE(fs::exists(file_));
    Names entries;
    for (const fs::directory_entry& e : fs::directory_iterator(folder_))
        entries.push_back(e.path().filename().string());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (Names{"link.ini", "real.ini"}));  // no temporary file left
}

TEST_F(ProfileTest, WhatCannotBeReplacedFailsAndStaysAsItWas) {
    fs::create_directories(folder_ / "dir.ini");
    std::string dir = (folder_ / "dir.ini").string();
    EXPECT_FALSE(Write(dir, "k", "v"));
    EXPECT_FALSE(WriteProfileEntry(dir, "s", nullptr, nullptr));
    EXPECT_EQ(ReadProfileString(dir, "s", "k", "d"), "d");
    EXPECT_FALSE(Write((folder_ / "no" / "x.ini").string(), "k", "v"));
    // A folder that refuses writing keeps its file (root may write anyway).
    fs::create_directories(folder_ / "locked");
    std::ofstream(folder_ / "locked" / "x.ini", std::ios::binary) << "[s]\nk=old\n";
    fs::permissions(folder_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (access((folder_ / "locked").c_str(), W_OK) != 0) {
        EXPECT_FALSE(Write((folder_ / "locked" / "x.ini").string(), "k", "v"));
        EXPECT_EQ(Slurp(folder_ / "locked" / "x.ini"), "[s]\nk=old\n");
    }
    fs::permissions(folder_ / "locked", fs::perms::owner_all);
}

#endif

}  // namespace
}  // namespace tallow::platform
