// Replacing a file whole: the old contents stay until the new ones are
// complete, an abandoned replacement leaves nothing behind, what is no
// regular file is refused at once, and on Linux the new contents are private
// until the old file's owner and mode apply to them (checked as another user
// where the tests run as root).
#include "platform/file_replacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tallow::platform {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class FileReplacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("tallow-replace-" + std::to_string(stamp));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    Names Entries() const {
        Names names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The one entry besides the named ones: the new file being written.
    std::string NewFile(const Names& known) const {
        for (const std::string& name : Entries())
            if (std::find(known.begin(), known.end(), name) == known.end()) return Path(name);
        return "";
    }

    fs::path dir_;
};

TEST_F(FileReplacementTest, OldContentsStayUntilTheNewAreComplete) {
    Write("a.txt", "old contents");
    {
        FileReplacement replacement;
        ASSERT_TRUE(replacement.Begin(Path("a.txt")));
        // More than one buffer's worth, so that some of it is on disk.
        EXPECT_TRUE(replacement.Write(std::string(200000, 'n')));
        EXPECT_EQ(Read("a.txt"), "old contents");
        EXPECT_EQ(Entries().size(), 2u);
        // Abandoned: no commit.
    }
    EXPECT_EQ(Read("a.txt"), "old contents");
    EXPECT_EQ(Entries(), Names{"a.txt"});

    FileReplacement replacement;
    ASSERT_TRUE(replacement.Begin(Path("a.txt")));
    EXPECT_TRUE(replacement.Write("new "));
    EXPECT_TRUE(replacement.Write("contents"));
    EXPECT_TRUE(replacement.Commit());
    EXPECT_EQ(Read("a.txt"), "new contents");
    EXPECT_FALSE(replacement.Commit());  // once only

    EXPECT_TRUE(ReplaceFileContents(Path("fresh.txt"), ""));
    EXPECT_TRUE(fs::exists(Path("fresh.txt")));
    EXPECT_EQ(Entries(), (Names{"a.txt", "fresh.txt"}));
}

TEST_F(FileReplacementTest, WhatIsNoRegularFileIsRefused) {
    fs::create_directory(dir_ / "folder");
    EXPECT_FALSE(ReplaceFileContents(Path("folder"), "x"));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    EXPECT_FALSE(ReplaceFileContents(Path("missing/x.txt"), "x"));
    EXPECT_FALSE(ReplaceFileContents("", "x"));
#if !defined(_WIN32)
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReplaceFileContents(Path("fifo"), "x"));  // at once: no reader is waited for
    EXPECT_FALSE(ReplaceFileContents("/dev/null", "x"));
    EXPECT_EQ(Entries(), (Names{"fifo", "folder"}));
#else
    EXPECT_FALSE(ReplaceFileContents("NUL", "x"));
    EXPECT_EQ(Entries(), Names{"folder"});
#endif
}

#if !defined(_WIN32)

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Whether a process running as nobody can open path for reading.
bool OtherUserCanRead(const std::string& path) {
    pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
        _exit(fd >= 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(FileReplacementTest, NewContentsArePrivateUntilTheOldModeApplies) {
    Write("secret.ini", "password=old\n");
    chmod(Path("secret.ini").c_str(), 0600);
    Write("shared.ini", "x=1\n");
    chmod(Path("shared.ini").c_str(), 0644);
    chmod(dir_.c_str(), 0755);

    FileReplacement replacement;
    ASSERT_TRUE(replacement.Begin(Path("shared.ini")));
    std::string pending = NewFile({"secret.ini", "shared.ini"});
    ASSERT_FALSE(pending.empty());
    EXPECT_EQ(ModeOf(pending) & 077, 0u) << "the new file is open to others while it is written";
    if (geteuid() == 0) {
        EXPECT_TRUE(OtherUserCanRead(Path("shared.ini")));
        EXPECT_FALSE(OtherUserCanRead(pending));
    }
    EXPECT_TRUE(replacement.Write("x=2\n"));
    EXPECT_TRUE(replacement.Commit());
    EXPECT_EQ(ModeOf(Path("shared.ini")), 0644u);

    ASSERT_TRUE(ReplaceFileContents(Path("secret.ini"), "password=new\n"));
    EXPECT_EQ(ModeOf(Path("secret.ini")), 0600u);
    if (geteuid() == 0) {
        EXPECT_FALSE(OtherUserCanRead(Path("secret.ini")));
    }
}

TEST_F(FileReplacementTest, KeepsModeLinkAndOwnerAndMakesExecutablesRunnable) {
    Write("real.txt", "old");
    chmod(Path("real.txt").c_str(), 0640);
    fs::create_symlink("real.txt", dir_ / "link.txt");
    ASSERT_TRUE(ReplaceFileContents(Path("link.txt"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
    EXPECT_EQ(Read("real.txt"), "new");
    EXPECT_EQ(ModeOf(Path("real.txt")), 0640u);

    mode_t mask = umask(022);
    ASSERT_TRUE(ReplaceFileContents(Path("fresh"), "x"));
    ASSERT_TRUE(ReplaceFileContents(Path("tool"), "x", ReplacedKind::kExecutable));
    umask(mask);
    EXPECT_EQ(ModeOf(Path("fresh")), 0644u);
    EXPECT_EQ(ModeOf(Path("tool")), 0755u);
    chmod(Path("tool").c_str(), 0640);
    ASSERT_TRUE(ReplaceFileContents(Path("tool"), "y", ReplacedKind::kExecutable));
    EXPECT_EQ(ModeOf(Path("tool")), 0750u);

    if (geteuid() == 0) {
        // An administrator's write leaves the file its owner's.
        ASSERT_EQ(chown(Path("real.txt").c_str(), 65534, 65534), 0);
        ASSERT_TRUE(ReplaceFileContents(Path("real.txt"), "by root"));
        struct stat st {};
        stat(Path("real.txt").c_str(), &st);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
}

#endif

}  // namespace
}  // namespace tallow::platform
