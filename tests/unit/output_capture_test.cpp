// Captured output divided into lines, with Windows line ends and with the
// Linux ones.
#include "objects/output_capture.h"

#include <gtest/gtest.h>

namespace tallow {
namespace {

using CapturedLines = std::vector<std::string>;

TEST(SplitCapturedLines, CarriageReturnsEndLines) {
    for (bool lineFeed : {false, true}) {
        SCOPED_TRACE(lineFeed);
        EXPECT_EQ(SplitCapturedLines("", lineFeed), CapturedLines{});
        EXPECT_EQ(SplitCapturedLines("one\r\ntwo\r\n", lineFeed), (CapturedLines{"one", "two"}));
        // Blank lines stay, as empty elements.
        EXPECT_EQ(SplitCapturedLines("\r\none\r\n\r\n\r\ntwo\r\n", lineFeed),
                  (CapturedLines{"", "one", "", "", "two"}));
        // A last line without its end is kept; an empty one is no line.
        EXPECT_EQ(SplitCapturedLines("one\r\nlast", lineFeed), (CapturedLines{"one", "last"}));
        EXPECT_EQ(SplitCapturedLines("one\r", lineFeed), CapturedLines{"one"});
        // A carriage return alone ends a line too.
        EXPECT_EQ(SplitCapturedLines("a\rb\r\rc", lineFeed), (CapturedLines{"a", "b", "", "c"}));
        // Bytes pass unchanged, the zero byte included.
        EXPECT_EQ(SplitCapturedLines(std::string("t\tx\0\xff\r\n", 7), lineFeed),
                  CapturedLines{std::string("t\tx\0\xff", 5)});
    }
}

TEST(SplitCapturedLines, LineFeedsWhereTheSystemEndsLinesWithThem) {
    // Windows: a line feed is dropped, so lines ended by it alone run together.
    EXPECT_EQ(SplitCapturedLines("one\ntwo\n\nthree", false), (CapturedLines{"onetwothree"}));
    // Linux: it ends a line unless a carriage return came just before it.
    EXPECT_EQ(SplitCapturedLines("one\ntwo\n\nthree", true), (CapturedLines{"one", "two", "", "three"}));
    EXPECT_EQ(SplitCapturedLines("a\r\n\nb\n\r\n", true), (CapturedLines{"a", "", "b", ""}));
    EXPECT_EQ(SplitCapturedLines("\n", true), CapturedLines{""});
    EXPECT_EQ(SplitCapturedLines("\n", false), CapturedLines{});
}

}  // namespace
}  // namespace tallow
