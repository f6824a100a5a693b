// The shell's file operations as Linux does them, where a mistake costs data:
// trees copied or moved into themselves, links and loops inside trees,
// entries that are no files, sources that name a parent, what a collision
// does. Each case works in a fresh folder of its own.
#include "platform/file_operation.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <set>

namespace tallow::platform {
namespace {

namespace fs = std::filesystem;

class FileOperationTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("tallow-fileop-" + std::to_string(stamp));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        fs::create_directories((dir_ / name).parent_path());
        std::ofstream(P(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(P(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Every path below the folder, relative, directories with a slash.
    std::set<std::string> Tree() const {
        std::set<std::string> names;
        for (auto& e : fs::recursive_directory_iterator(dir_))
            names.insert(e.path().lexically_relative(dir_).string() +
                         (e.is_directory() && !e.is_symlink() ? "/" : ""));
        return names;
    }
    bool Op(unsigned op, const std::string& from, const std::string& to, unsigned flags = 0) {
        return ShellFileOperation(op, from.empty() ? "" : P(from), to.empty() ? "" : P(to), flags, nullptr);
    }

    fs::path dir_;
};

TEST_F(FileOperationTest, ATreeNeverGoesIntoItself) {
    Write("a/f.txt", "f");
    std::set<std::string> before = Tree();
    EXPECT_FALSE(Op(kFileOpCopy, "a", "a/sub", kFileOpNoConfirmMkDir));
    EXPECT_FALSE(Op(kFileOpMove, "a", "a/sub", kFileOpNoConfirmMkDir));
    EXPECT_FALSE(Op(kFileOpCopy, "a", "a"));
    EXPECT_FALSE(Op(kFileOpMove, "a", "a"));
    EXPECT_FALSE(Op(kFileOpRename, "a", "a/b"));
    EXPECT_EQ(Tree(), before);
}

TEST_F(FileOperationTest, SourcesThatNameAParentAreRefused) {
    Write("a/f.txt", "f");
    std::set<std::string> before = Tree();
    for (const char* source : {"a/.", "a/..", "a/../.", "."})
        EXPECT_FALSE(Op(kFileOpDelete, source, "")) << source;
    EXPECT_FALSE(ShellFileOperation(kFileOpDelete, "/", "", 0, nullptr));
    EXPECT_FALSE(ShellFileOperation(kFileOpDelete, "", "", 0, nullptr));
    EXPECT_EQ(Tree(), before);
}

// Links are copied as links, so a link back up the tree is no endless loop.
TEST_F(FileOperationTest, LinksInATreeStayLinks) {
    Write("a/f.txt", "f");
    fs::create_directory_symlink("..", dir_ / "a" / "up");
    fs::create_symlink("f.txt", dir_ / "a" / "g.txt");
    ASSERT_TRUE(Op(kFileOpCopy, "a", "b"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "b" / "up"));
    EXPECT_EQ(fs::read_symlink(dir_ / "b" / "g.txt"), "f.txt");
    EXPECT_EQ(Read("b/g.txt"), "f");
    ASSERT_TRUE(Op(kFileOpDelete, "b", ""));
    EXPECT_EQ(Read("a/f.txt"), "f");  // deleting the copy left the link's target alone
}

TEST_F(FileOperationTest, AFifoInATreeFailsWithoutWaiting) {
    Write("a/f.txt", "f");
    ASSERT_EQ(::mkfifo(P("a/pipe").c_str(), 0600), 0);
    auto copy = std::async(std::launch::async, [this] { return Op(kFileOpCopy, "a", "b"); });
    ASSERT_EQ(copy.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(copy.get());
}

TEST_F(FileOperationTest, CollisionsReplaceMergeOrRename) {
    Write("src/d/new.txt", "new");
    Write("src/d/same.txt", "from src");
    Write("dst/d/old.txt", "old");
    Write("dst/d/same.txt", "from dst");
    ASSERT_TRUE(Op(kFileOpMove, "src/d", "dst"));
    EXPECT_EQ(Tree(), (std::set<std::string>{"src/", "dst/", "dst/d/", "dst/d/new.txt", "dst/d/old.txt",
                                             "dst/d/same.txt"}));
    EXPECT_EQ(Read("dst/d/same.txt"), "from src");

    ASSERT_TRUE(Op(kFileOpCopy, "dst/d/new.txt", "dst/d/old.txt", kFileOpRenameOnCollision));
    ASSERT_TRUE(Op(kFileOpCopy, "dst/d/new.txt", "dst/d/old.txt", kFileOpRenameOnCollision));
    ASSERT_TRUE(Op(kFileOpCopy, "dst/d", "dst", kFileOpRenameOnCollision));
    EXPECT_EQ(Read("dst/d/old (2).txt"), "new");
    EXPECT_EQ(Read("dst/d/old (3).txt"), "new");
    EXPECT_EQ(Read("dst/d (2)/old.txt"), "old");

    // A file and a directory never replace each other; a rename replaces
    // nothing at all unless told to find a new name.
    Write("m/x/inner.txt", "inner");
    Write("n/x", "file");
    EXPECT_FALSE(Op(kFileOpCopy, "n/x", "m"));
    EXPECT_FALSE(Op(kFileOpMove, "m/x", "n"));
    EXPECT_EQ(Read("n/x") + Read("m/x/inner.txt"), "fileinner");
    EXPECT_FALSE(Op(kFileOpRename, "dst/d/new.txt", "dst/d/old.txt"));
    ASSERT_TRUE(Op(kFileOpRename, "dst/d/new.txt", "dst/d/old.txt", kFileOpRenameOnCollision));
    EXPECT_EQ(Read("dst/d/old (4).txt"), "new");
    EXPECT_FALSE(fs::exists(dir_ / "dst/d/new.txt"));
}

TEST_F(FileOperationTest, WildcardsAndMissingDirectories) {
    Write("a/x1.txt", "1");
    Write("a/x2.TXT", "2");
    Write("a/y.dat", "y");
    EXPECT_FALSE(Op(kFileOpCopy, "a/*.txt", "out"));  // out missing, no flag
    ASSERT_TRUE(Op(kFileOpCopy, "a/*.txt", "out", kFileOpNoConfirmMkDir));
    EXPECT_EQ(Read("out/x1.txt") + Read("out/x2.TXT"), "12");
    EXPECT_FALSE(Op(kFileOpCopy, "a/y.dat", "deep/er/y.dat"));
    ASSERT_TRUE(Op(kFileOpCopy, "a/y.dat", "deep/er/y.dat", kFileOpNoConfirmMkDir));
    EXPECT_FALSE(Op(kFileOpDelete, "a/*.none", ""));
    EXPECT_FALSE(Op(kFileOpRename, "a/*.txt", "b"));
    ASSERT_TRUE(Op(kFileOpDelete, "a/x?.*", ""));
    EXPECT_EQ(Tree(), (std::set<std::string>{"a/", "a/y.dat", "out/", "out/x1.txt", "out/x2.TXT", "deep/",
                                             "deep/er/", "deep/er/y.dat"}));
    EXPECT_FALSE(Op(0, "a/y.dat", "z"));
    EXPECT_FALSE(Op(9, "a/y.dat", "z"));
}

}  // namespace
}  // namespace tallow::platform
#endif
