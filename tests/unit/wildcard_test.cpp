// The rules of the Linux directory search: Windows-style wildcard matching,
// splitting a pattern into directory and name, and entry attributes.
#include "platform/wildcard.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace tallow::platform {
namespace {

struct MatchCase {
    const char* pattern;
    const char* name;
    bool matches;
};

TEST(Wildcard, WindowsRules) {
    const MatchCase cases[] = {
        {"*.*", "a.txt", true},
        {"*.*", "noext", true},
        {"*.*", ".", true},
        {"*.*", "..", true},
        {"*.*", ".hidden", true},
        {"*", "anything.at.all", true},
        {"*.txt", "a.txt", true},
        {"*.txt", "a.TXT", true},
        {"*.TXT", "b.txt", true},
        {"*.txt", "a.txt.bak", false},
        {"*.txt", "atxt", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"a?c", "abbc", false},
        {"?", "", false},
        {"", "", true},
        {"", "a", false},
        {"abc", "ABC", true},
        {"abc", "abcd", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*a", "banana", true},
        {"*an*", "banana", true},
        {"**", "x", true},
        {"stem.*", "stem", true},
        {"stem.*", "stem.c", true},
        {"stem.*", "stems", false},
        {"a*.*", "alpha", true},
        {"*.", "name.", true},
        // A trailing dot asks for names without an extension.
        {"*.", "readme", true},
        {"*.", "a.txt", false},
        {"*.", ".hidden", false},
        {"*.", ".", true},
        {"*.", "..", true},
        {"a*.", "alpha", true},
        {"a*.", "alpha.c", false},
        {"a*.", "beta", false},
        {"????.", "abcd", true},
        {"????.", "ab.c", false},
        {"noext.", "NOEXT", true},
        {"noext.", "noext.c", false},
        {"*.txt.", "a.txt", true},
        {"*.txt.", "a.txt.bak", false},
        {"nomatch*.xyz", "a.txt", false},
        {"*?", "", false},
        {"*?", "x", true},
        {"data?.csv", "data1.csv", true},
    };
    for (const MatchCase& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
}

TEST(Wildcard, LongNamesDoNotBacktrackForever) {
    std::string name(2000, 'a');
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*b", name));
    EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*", name));
}

TEST(Wildcard, SplitsPatternAtLastSlash) {
    std::string dir, name;
    SplitSearchPattern("*.txt", dir, name);
    EXPECT_EQ(dir, ".");
    EXPECT_EQ(name, "*.txt");
    SplitSearchPattern("sub/deeper/*.c", dir, name);
    EXPECT_EQ(dir, "sub/deeper");
    EXPECT_EQ(name, "*.c");
    SplitSearchPattern("/etc", dir, name);
    EXPECT_EQ(dir, "/");
    EXPECT_EQ(name, "etc");
    SplitSearchPattern("sub/", dir, name);
    EXPECT_EQ(dir, "sub");
    EXPECT_EQ(name, "");
}

TEST(Wildcard, TrailingDotsAndBlanksDoNotCountButOneAsksForNoExtension) {
    const char* cases[][2] = {
        {"*.", "*."},   {"a.txt.", "a.txt"}, {"a.txt . .", "a.txt"}, {"x/*..", "*."},
        {"*. ", "*."},  {".", "."},          {"..", ".."},           {"sub/..", ".."},
        {"*.*", "*.*"}, {" a", " a"},        {"...", "..."},
    };
    for (auto& c : cases) {
        std::string dir, name;
        SplitSearchPattern(c[0], dir, name);
        EXPECT_EQ(name, c[1]) << c[0];
    }
}

TEST(Wildcard, PosixAttributes) {
    EXPECT_EQ(PosixEntryAttributes("a.txt", EntryKind::RegularFile, true), kAttrArchive);
    EXPECT_EQ(PosixEntryAttributes("a.txt", EntryKind::RegularFile, false), kAttrArchive | kAttrReadOnly);
    EXPECT_EQ(PosixEntryAttributes(".profile", EntryKind::RegularFile, true), kAttrArchive | kAttrHidden);
    EXPECT_EQ(PosixEntryAttributes("sub", EntryKind::Directory, true), kAttrDirectory);
    EXPECT_EQ(PosixEntryAttributes(".git", EntryKind::Directory, true), kAttrDirectory | kAttrHidden);
    EXPECT_EQ(PosixEntryAttributes(".", EntryKind::Directory, true), kAttrDirectory);
    EXPECT_EQ(PosixEntryAttributes("..", EntryKind::Directory, false), kAttrDirectory | kAttrReadOnly);
    EXPECT_EQ(PosixEntryAttributes("fifo", EntryKind::Other, true), kAttrNormal);
    EXPECT_EQ(PosixEntryAttributes("fifo", EntryKind::Other, false), kAttrReadOnly);
    EXPECT_EQ(PosixEntryAttributes(".sock", EntryKind::Other, true), kAttrHidden);
    for (EntryKind kind : {EntryKind::Directory, EntryKind::RegularFile, EntryKind::Other})
        for (bool writable : {true, false})
            EXPECT_EQ(PosixEntryAttributes("x", kind, writable) & kAttrSystem, 0u);
}

// The wait and the tick count, on each target's own clock.
TEST(Wait, LastsAsLongAsAsked) {
    uint32_t start = TickCount();
    WaitPumping(300);
    uint32_t elapsed = TickCount() - start;
    EXPECT_GE(elapsed, 280u);  // tick granularity is about 16 ms on Windows
    EXPECT_LT(elapsed, 3000u);
    start = TickCount();
    WaitPumping(0);
    EXPECT_LT(TickCount() - start, 100u);
}

}  // namespace
}  // namespace tallow::platform
