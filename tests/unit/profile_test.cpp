// Initialisation files through the profile interface, on both targets (under
// Wine the private-profile functions, on Linux our own reader and writer),
// in a folder of the test's own; on Linux also where a name without a folder
// goes, and that a write never loses the rest of the file.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/confinement.h"

#if !defined(_WIN32)
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <process.h>
#endif

namespace tallow::platform {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

int ProcessId() {
#if defined(_WIN32)
    return _getpid();
#else
    return getpid();
#endif
}

#if !defined(_WIN32)
std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
#endif

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("tallow-profile-" + std::to_string(ProcessId()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = (folder_ / "test.ini").string();
#if !defined(_WIN32)
        const char* old = getenv("XDG_CONFIG_HOME");
        hadOld_ = old != nullptr;
        if (old) oldConfig_ = old;
        setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
#endif
    }

    void TearDown() override {
        SetConfined(false);
#if !defined(_WIN32)
        if (hadOld_)
            setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
#endif
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    bool Write(const std::string& section, const std::string& key, const std::string& value) {
        return WriteProfileEntry(file_, section, &key, &value);
    }
    std::string Read(const std::string& section, const std::string& key, const std::string& fallback = "") {
        return ReadProfileString(file_, section, key, fallback);
    }
    // The names of the entries in the test's folder.
    Names FolderEntries() const {
        Names names;
        for (const fs::directory_entry& e : fs::directory_iterator(folder_))
            names.push_back(e.path().filename().string());
        return names;
    }

    fs::path folder_;
    std::string file_;
#if !defined(_WIN32)
    std::string oldConfig_;
    bool hadOld_ = false;
#endif
};

TEST_F(ProfileTest, MissingFileGivesDefaultsAndEmptyLists) {
    EXPECT_EQ(Read("s", "k", "fallback  "), "fallback");
    EXPECT_EQ(ReadProfileNumber(file_, "s", "k", 5), 5u);
    EXPECT_EQ(ReadProfileNumber(file_, "s", "k", -1), 4294967295u);
    EXPECT_EQ(ProfileSectionNames(file_), Names{});
    EXPECT_EQ(ProfileKeyNames(file_, "s"), Names{});
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(ProfileTest, WriteReadListAndDelete) {
    ASSERT_TRUE(Write("Main", "Name", "Fred"));
    ASSERT_TRUE(Write("Main", "Count", "-5"));
    ASSERT_TRUE(Write("Other", "x", "1"));
    ASSERT_TRUE(Write("MAIN", "name", "Jim"));
    EXPECT_EQ(Read("main", "NAME"), "Jim");
    EXPECT_EQ(ReadProfileNumber(file_, "main", "count", 7), 4294967291u);
    EXPECT_EQ(ReadProfileNumber(file_, "main", "missing", 7), 7u);
    EXPECT_EQ(ProfileSectionNames(file_), (Names{"Main", "Other"}));
    EXPECT_EQ(ProfileKeyNames(file_, "main"), (Names{"Name", "Count"}));

    std::string count = "Count";
    ASSERT_TRUE(WriteProfileEntry(file_, "Main", &count, nullptr));
    EXPECT_EQ(Read("Main", "Count", "gone"), "gone");
    EXPECT_EQ(ProfileKeyNames(file_, "Main"), (Names{"Name"}));
    ASSERT_TRUE(WriteProfileEntry(file_, "main", nullptr, nullptr));
    EXPECT_EQ(ProfileSectionNames(file_), (Names{"Other"}));
    EXPECT_EQ(Read("Main", "Name", "gone"), "gone");
    EXPECT_EQ(Read("Other", "x"), "1");
}

TEST_F(ProfileTest, CrLfFileIsReadAndWritten) {
    Put(file_, "[Main]\r\nKey = value one \r\nQuoted=\"  q  \"\r\n\r\n[Next]\r\nn=12\r\n");
    EXPECT_EQ(Read("main", "key"), "value one");
    EXPECT_EQ(Read("main", "quoted"), "  q  ");
    EXPECT_EQ(ReadProfileNumber(file_, "next", "N", 0), 12u);
    EXPECT_EQ(ProfileSectionNames(file_), (Names{"Main", "Next"}));
    ASSERT_TRUE(Write("Next", "added", "yes"));
    EXPECT_EQ(Read("next", "added"), "yes");
    EXPECT_EQ(Read("main", "key"), "value one");
#if !defined(_WIN32)
    EXPECT_EQ(Slurp(file_),
              "[Main]\r\nKey = value one \r\nQuoted=\"  q  \"\r\n\r\n[Next]\r\nn=12\r\nadded=yes\r\n");
#endif
}

TEST_F(ProfileTest, LongValuesAndLongNameListsArriveWhole) {
    std::string longValue(5000, 'v');
    ASSERT_TRUE(Write("s", "long", longValue));
    ASSERT_TRUE(Write("s", "three hundred", std::string(300, 'x')));
    EXPECT_EQ(Read("s", "long"), longValue);
    EXPECT_EQ(Read("s", "three hundred").size(), 300u);
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += "[section number " + std::to_string(i) + "]\nkey number " + std::to_string(i) + "=1\n";
    Put(file_, text);
    Names sections = ProfileSectionNames(file_);
    ASSERT_EQ(sections.size(), 600u);
    EXPECT_EQ(sections.back(), "section number 599");
    text = "[s]\n";
    for (int i = 0; i < 600; ++i)
        text += "key number " + std::to_string(i) + "=1\n";
    Put(file_, text);
    Names keys = ProfileKeyNames(file_, "s");
    ASSERT_EQ(keys.size(), 600u);
    EXPECT_EQ(keys.back(), "key number 599");
}

#if !defined(_WIN32)

TEST_F(ProfileTest, NameWithoutFolderLivesInTheConfigFolder) {
    std::string key = "k", value = "v";
    ASSERT_TRUE(WriteProfileEntry("bare.ini", "s", &key, &value));
    fs::path written = folder_ / "config" / "tallow" / "bare.ini";
    EXPECT_EQ(Slurp(written), "[s]\nk=v\n");
    EXPECT_EQ((fs::status(folder_ / "config" / "tallow").permissions() & fs::perms::all),
              fs::perms::owner_all);
    EXPECT_EQ(ReadProfileString("bare.ini", "s", "k", ""), "v");
    // A name with a folder is relative to the current one.
    fs::path old = fs::current_path();
    fs::current_path(folder_);
    EXPECT_EQ(ReadProfileString("./bare.ini", "s", "k", "none"), "none");
    EXPECT_TRUE(WriteProfileEntry("./here.ini", "s", &key, &value));
    fs::current_path(old);
    EXPECT_TRUE(fs::exists(folder_ / "here.ini"));
    EXPECT_EQ(ReadProfileString("", "s", "k", "none"), "none");
    EXPECT_FALSE(WriteProfileEntry("", "s", &key, &value));
}

TEST_F(ProfileTest, WritesReplaceTheFileWholeAndKeepItsLinkAndMode) {
    Put(folder_ / "real.ini", "; keep me\n[s]\nk=1\n");
    fs::permissions(folder_ / "real.ini",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.ini", folder_ / "link.ini");
    std::string link = (folder_ / "link.ini").string(), key = "k", value = "2";
    ASSERT_TRUE(WriteProfileEntry(link, "s", &key, &value));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.ini"));
    EXPECT_EQ(Slurp(folder_ / "real.ini"), "; keep me\n[s]\nk=2\n");
    EXPECT_EQ(fs::status(folder_ / "real.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Deleting what is not there writes nothing at all.
    fs::file_time_type before = fs::last_write_time(folder_ / "real.ini");
    std::string missing = "missing";
    EXPECT_TRUE(WriteProfileEntry(link, "s", &missing, nullptr));
    EXPECT_TRUE(WriteProfileEntry(link, "none", nullptr, nullptr));
    EXPECT_TRUE(WriteProfileEntry(file_, "none", nullptr, nullptr));
    EXPECT_EQ(fs::last_write_time(folder_ / "real.ini"), before);
    EXPECT_FALSE(fs::exists(file_));
    // No temporary file is left behind.
    Names entries = FolderEntries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (Names{"link.ini", "real.ini"}));
}

TEST_F(ProfileTest, AFileThatCannotBeReplacedFailsAndStaysAsItWas) {
    // A folder of that name: neither read nor written.
    fs::create_directories(folder_ / "dir.ini");
    std::string dir = (folder_ / "dir.ini").string(), key = "k", value = "v";
    EXPECT_FALSE(WriteProfileEntry(dir, "s", &key, &value));
    EXPECT_FALSE(WriteProfileEntry(dir, "s", nullptr, nullptr));
    EXPECT_EQ(ReadProfileString(dir, "s", "k", "d"), "d");
    // A file in a folder that does not exist cannot be made.
    EXPECT_FALSE(WriteProfileEntry((folder_ / "no" / "x.ini").string(), "s", &key, &value));
    // A folder without write permission keeps its file as it was (root
    // may write anyway, so only when the folder really refuses).
    fs::create_directories(folder_ / "locked");
    Put(folder_ / "locked" / "x.ini", "[s]\nk=old\n");
    fs::permissions(folder_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (access((folder_ / "locked").c_str(), W_OK) != 0) {
        EXPECT_FALSE(WriteProfileEntry((folder_ / "locked" / "x.ini").string(), "s", &key, &value));
        EXPECT_EQ(Slurp(folder_ / "locked" / "x.ini"), "[s]\nk=old\n");
    }
    fs::permissions(folder_ / "locked", fs::perms::owner_all);
}

TEST_F(ProfileTest, ConfinedNamesStayInTheCurrentFolder) {
    fs::path old = fs::current_path();
    fs::current_path(folder_);
    SetConfined(true);
    std::string key = "k", value = "v";
    EXPECT_TRUE(WriteProfileEntry("bare.ini", "s", &key, &value));
    EXPECT_FALSE(WriteProfileEntry(file_, "s", &key, &value));
    EXPECT_FALSE(WriteProfileEntry("../escape.ini", "s", &key, &value));
    EXPECT_EQ(ReadProfileString(file_, "s", "k", "d"), "d");
    EXPECT_EQ(ReadProfileString("bare.ini", "s", "k", "d"), "v");
    SetConfined(false);
    fs::current_path(old);
    EXPECT_TRUE(fs::exists(folder_ / "bare.ini"));
    EXPECT_FALSE(fs::exists(folder_ / "config"));
    EXPECT_FALSE(fs::exists(file_));
}

#endif

}  // namespace
}  // namespace tallow::platform
