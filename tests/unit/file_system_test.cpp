// The platform file operations on each target's real file system, where the
// script corpus cannot look: file contents, read-only entries and the state of
// a directory search. Every case works in a fresh folder of its own.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>
#include <string>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tallow::platform {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("tallow-fs-" + std::to_string(stamp));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        for (auto& entry : fs::recursive_directory_iterator(dir_, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
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

    fs::path dir_;
};

TEST_F(FileSystemTest, CopyReplacesButNeverOntoItself) {
    Write("a.txt", "hello");
    Write("b.txt", "a longer old content");
    EXPECT_TRUE(CopyFileOver(Path("a.txt"), Path("b.txt")));
    EXPECT_EQ(Read("b.txt"), "hello");
    EXPECT_FALSE(CopyFileOver(Path("a.txt"), Path("a.txt")));
    fs::create_directory(dir_ / "sub");
    EXPECT_FALSE(CopyFileOver(Path("a.txt"), Path("sub/../a.txt")));
    EXPECT_EQ(Read("a.txt"), "hello");
    EXPECT_FALSE(CopyFileOver(Path("missing.txt"), Path("c.txt")));
    EXPECT_FALSE(fs::exists(dir_ / "c.txt"));
    EXPECT_FALSE(CopyFileOver(Path("sub"), Path("d")));
}

#if !defined(_WIN32)
// A FIFO as source or target is refused at once instead of waiting for a
// writer or reader that never comes. Should the copy wait after all, the test
// opens the other end itself so that it fails rather than hangs.
TEST_F(FileSystemTest, CopyRefusesAFifoWithoutWaiting) {
    Write("a.txt", "hello");
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    auto copy = [this](std::string from, std::string to) {
        auto result = std::async(std::launch::async, [=] { return CopyFileOver(from, to); });
        if (result.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
            return result.get() ? 1 : 0;
        int other = ::open(Path("fifo").c_str(), O_RDWR | O_NONBLOCK);  // lets a blocked open return
        result.wait();
        ::close(other);
        return -1;  // it waited
    };
    EXPECT_EQ(copy(Path("fifo"), Path("b.txt")), 0);
    EXPECT_FALSE(fs::exists(dir_ / "b.txt"));
    EXPECT_EQ(copy(Path("a.txt"), Path("fifo")), 0);
    EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));
    EXPECT_FALSE(CopyFileOver(Path("a.txt"), "/dev/null"));
    EXPECT_FALSE(CopyFileOver("/dev/null", Path("c.txt")));
}
#endif

TEST_F(FileSystemTest, MoveAndRenameNeverReplace) {
    Write("a.txt", "one");
    Write("b.txt", "two");
    EXPECT_FALSE(MoveFileNoReplace(Path("a.txt"), Path("b.txt")));
    EXPECT_FALSE(RenameEntry(Path("a.txt"), Path("b.txt")));
    EXPECT_EQ(Read("a.txt"), "one");
    EXPECT_EQ(Read("b.txt"), "two");
    EXPECT_TRUE(MoveFileNoReplace(Path("a.txt"), Path("c.txt")));
    EXPECT_EQ(Read("c.txt"), "one");
    EXPECT_FALSE(fs::exists(dir_ / "a.txt"));
    fs::create_directory(dir_ / "d");
    EXPECT_TRUE(RenameEntry(Path("d"), Path("e")));
    EXPECT_TRUE(fs::is_directory(dir_ / "e"));
    EXPECT_TRUE(MoveFileNoReplace(Path("c.txt"), Path("e/c.txt")));
    EXPECT_EQ(Read("e/c.txt"), "one");
}

TEST_F(FileSystemTest, RemovalsKeepToTheirKind) {
    fs::create_directory(dir_ / "d");
    Write("d/f", "x");
    EXPECT_FALSE(RemoveFile(Path("d")));
    EXPECT_FALSE(RemoveDir(Path("d")));  // not empty
    EXPECT_FALSE(RemoveDir(Path("d/f")));
    EXPECT_TRUE(RemoveFile(Path("d/f")));
    EXPECT_FALSE(RemoveFile(Path("d/f")));
    EXPECT_TRUE(RemoveDir(Path("d")));
    EXPECT_FALSE(PathExists(Path("d")));
    EXPECT_TRUE(MakeDir(Path("d")));
    EXPECT_FALSE(MakeDir(Path("d")));
    EXPECT_FALSE(MakeDir(Path("no/such/parent")));
}

TEST_F(FileSystemTest, SizesAndExistence) {
    Write("five", "12345");
    fs::create_directory(dir_ / "d");
    EXPECT_EQ(FileSizeOf(Path("five")), 5);
    EXPECT_EQ(FileSizeOf(Path("d")), 0);
    EXPECT_EQ(FileSizeOf(Path("missing")), -1);
    EXPECT_TRUE(PathExists(Path("five")));
    EXPECT_TRUE(PathExists(Path("d")));
    EXPECT_FALSE(PathExists(Path("missing")));
    EXPECT_FALSE(PathExists(Path("f*")));  // no wildcards here
}

TEST_F(FileSystemTest, SearchAttributesAndState) {
    Write("plain.txt", "x");
    Write("locked.txt", "x");
    fs::create_directory(dir_ / "sub");
    fs::permissions(dir_ / "locked.txt",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    DirSearch search;
    DirEntry entry;
    std::set<std::string> names;
    unsigned plain = 0, locked = 0, sub = 0, dot = 0;
    for (bool found = search.Start(Path("*.*"), entry); found; found = search.Next(entry)) {
        names.insert(entry.name);
        if (entry.name == "plain.txt") plain = entry.attributes;
        if (entry.name == "locked.txt") locked = entry.attributes;
        if (entry.name == "sub") sub = entry.attributes;
        if (entry.name == ".") dot = entry.attributes;
    }
    EXPECT_FALSE(search.IsOpen());  // closed at its end
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "locked.txt", "plain.txt", "sub"}));
    EXPECT_EQ(plain & (kAttrReadOnly | kAttrDirectory | kAttrHidden | kAttrSystem), 0u);
    EXPECT_NE(locked & kAttrReadOnly, 0u);
    EXPECT_NE(sub & kAttrDirectory, 0u);
    EXPECT_EQ(dot & (kAttrDirectory | kAttrHidden), kAttrDirectory);

    EXPECT_TRUE(search.Start(Path("*.txt"), entry));
    EXPECT_TRUE(search.IsOpen());
    EXPECT_FALSE(search.Start(Path("*.none"), entry));  // replaces the open search
    EXPECT_FALSE(search.IsOpen());
    EXPECT_FALSE(search.Next(entry));
    EXPECT_FALSE(search.Start(Path("missing/*.*"), entry));
}

TEST_F(FileSystemTest, ChangeDirAndBack) {
    std::string before, inside;
    ASSERT_TRUE(CurrentDir(before));
    ASSERT_TRUE(ChangeDir(dir_.string()));
    ASSERT_TRUE(CurrentDir(inside));
    EXPECT_TRUE(fs::equivalent(inside, dir_));
    EXPECT_FALSE(ChangeDir(Path("missing")));
    EXPECT_TRUE(ChangeDir(before));
}

}  // namespace
}  // namespace tallow::platform
