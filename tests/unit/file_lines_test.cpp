// readfilelines' cutting of text into elements, at the edges of the piece
// size, and the text files under it: CR LF reads as LF on both targets.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "objects/line_pieces.h"
#include "platform/text_file.h"

namespace tallow {
namespace {

using Lines = std::vector<std::string>;

struct TextSource {
    std::string text;
    size_t pos = 0;
    int Get() { return pos < text.size() ? (unsigned char)text[pos++] : EOF; }
};

template <class Source>
Lines PiecesOf(Source& source) {
    Lines lines;
    std::string piece;
    while (ReadLinePiece(source, piece))
        lines.push_back(piece);
    return lines;
}

Lines Pieces(const std::string& text) {
    TextSource source{text};
    return PiecesOf(source);
}

TEST(LinePieces, LinesLoseOneLineFeed) {
    EXPECT_EQ(Pieces(""), Lines{});
    EXPECT_EQ(Pieces("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(Pieces("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(Pieces("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(Pieces("a\r\n"), (Lines{"a\r"}));  // the file below joins CR LF
    EXPECT_EQ(Pieces(std::string("x\0y\n", 4)), (Lines{std::string("x\0y", 3)}));
}

TEST(LinePieces, LongLinesArriveInPieces) {
    const std::string full(kMaxLinePiece, 'x');
    EXPECT_EQ(Pieces(full.substr(1) + "\nz"), (Lines{full.substr(1), "z"}));
    EXPECT_EQ(Pieces(full + "\nz"), (Lines{full, "", "z"}));
    EXPECT_EQ(Pieces(full), (Lines{full}));
    EXPECT_EQ(Pieces(std::string(5000, 'y') + "\n"), (Lines{std::string(4095, 'y'), std::string(905, 'y')}));
    EXPECT_EQ(Pieces(std::string(2 * kMaxLinePiece, 'y')),
              (Lines{std::string(4095, 'y'), std::string(4095, 'y')}));
}

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = (std::filesystem::temp_directory_path() / ("tallow-lines-" + std::to_string(stamp))).string();
    }
    void TearDown() override { std::filesystem::remove(path_); }
    Lines Read(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary) << bytes;
        platform::TextFileIn in;
        EXPECT_TRUE(in.Open(path_));
        return PiecesOf(in);
    }
    std::string path_;
};

// The same bytes give the same elements on both targets: CR LF ends a line,
// a lone CR is kept, and the piece size counts the text after joining.
TEST_F(TextFileTest, CarriageReturnLineFeedEndsALine) {
    EXPECT_EQ(Read("a\r\nb\rc\r\n\r\nd"), (Lines{"a", "b\rc", "", "d"}));
    EXPECT_EQ(Read("end\r"), (Lines{"end\r"}));
    const std::string almost(kMaxLinePiece - 1, 'x');
    EXPECT_EQ(Read(almost + "\r\n" + almost + "\r\n"), (Lines{almost, almost}));
}

TEST_F(TextFileTest, WrittenLinesReadBack) {
    platform::TextFileOut out;
    ASSERT_TRUE(out.Open(path_));
    for (const char* line : {"one", "", "three"})
        EXPECT_TRUE(out.WriteLine(line));
    EXPECT_TRUE(out.Close());
    platform::TextFileIn in;
    ASSERT_TRUE(in.Open(path_));
    EXPECT_EQ(PiecesOf(in), (Lines{"one", "", "three"}));
    EXPECT_FALSE(platform::TextFileIn().Open(path_ + ".missing"));
}

}  // namespace
}  // namespace tallow
