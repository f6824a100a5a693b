// The attachment that tallowmake appends to the stub and the stub reads
// back: every damage is told apart, and the command-line forms tallowmake
// accepts.
#include "tools/tallowmake/attached_code.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tools/tallowmake/make_command_line.h"

namespace tallow::make {
namespace {

std::vector<uint8_t> Bytes(const char* text) {
    return std::vector<uint8_t>(text, text + std::strlen(text));
}

// A program with code attached: some program bytes, then the attachment.
std::vector<uint8_t> Program(const std::vector<uint8_t>& code) {
    std::vector<uint8_t> program = Bytes(
        "\x7f"
        "ELF program bytes");
    std::vector<uint8_t> attachment = AttachmentBytes(code);
    program.insert(program.end(), attachment.begin(), attachment.end());
    return program;
}

TEST(AttachedCodeTest, Crc32IsTheZipOne) {
    EXPECT_EQ(Crc32(Bytes("123456789")), 0xcbf43926u);
    EXPECT_EQ(Crc32({}), 0u);
}

TEST(AttachedCodeTest, CodeComesBackWholeIncludingAnEmptyOne) {
    for (const char* text : {"TALLOW1\0 code", ""}) {
        std::vector<uint8_t> code = Bytes(text), found;
        EXPECT_EQ(FindAttachedCode(Program(code), found), AttachError::None);
        EXPECT_EQ(found, code);
    }
}

TEST(AttachedCodeTest, EachDamageIsToldApart) {
    std::vector<uint8_t> code = Bytes("the code file"), found;
    std::vector<uint8_t> good = Program(code);
    EXPECT_EQ(FindAttachedCode(Bytes("a bare program"), found), AttachError::NoAttachment);
    EXPECT_EQ(FindAttachedCode({}, found), AttachError::NoAttachment);
    // Cut anywhere after the start mark: the trailer is gone.
    for (size_t cut : {size_t(1), kTrailerSize, kTrailerSize + 5}) {
        std::vector<uint8_t> shorter(good.begin(), good.end() - cut);
        EXPECT_EQ(FindAttachedCode(shorter, found), AttachError::TrailerMissing) << cut;
    }
    std::vector<uint8_t> altered = good;
    altered[good.size() - kTrailerSize - 3] ^= 1;
    EXPECT_EQ(FindAttachedCode(altered, found), AttachError::Checksum);
    // A length that reaches before the file's start, or not to the start mark.
    std::vector<uint8_t> tooLong = good, offMark = good;
    tooLong[good.size() - kTrailerSize + 3] = 0x7f;
    offMark[good.size() - kTrailerSize] += 1;
    EXPECT_EQ(FindAttachedCode(tooLong, found), AttachError::TrailerDamaged);
    EXPECT_EQ(FindAttachedCode(offMark, found), AttachError::TrailerDamaged);
    // Cutting inside the program itself also loses the mark: a bare program.
    std::vector<uint8_t> programOnly(good.begin(), good.begin() + 10);
    EXPECT_EQ(FindAttachedCode(programOnly, found), AttachError::NoAttachment);
}

// The stub's own bytes must not hold the start mark, or a scan of a cut
// program would find the stub's copy: it is stored backwards.
TEST(AttachedCodeTest, TheStartMarkIsBuiltNotStored) {
    std::array<uint8_t, kStartMarkSize> mark = StartMark();
    EXPECT_EQ(std::string(mark.begin() + 1, mark.begin() + 13), "Tallow code?");
}

MakeRequest Parse(std::optional<std::string> raw, std::vector<std::string> args) {
    return ParseMakeCommandLine(raw, args, ".exe");
}

TEST(MakeCommandLineTest, TheEnvironmentsFormInEveryShape) {
    // The raw command line (Windows), one word, and the words split at blanks.
    for (MakeRequest request :
         {Parse(std::string(R"(C:\My Files\a.cod"C:\My Files\a.exe)"), {"ignored"}),
          Parse(std::nullopt, {R"(C:\My Files\a.cod"C:\My Files\a.exe)"}),
          Parse(std::nullopt, {R"(C:\My)", R"(Files\a.cod"C:\My)", R"(Files\a.exe)"})}) {
        EXPECT_TRUE(request.environmentForm);
        EXPECT_EQ(request.error, "");
        EXPECT_EQ(request.codeFile, R"(C:\My Files\a.cod)");
        EXPECT_EQ(request.exeFile, R"(C:\My Files\a.exe)");
    }
    // Started by a program that escaped the quote: the word, not the raw text.
    MakeRequest escaped = Parse(std::string(R"(a.cod\"b.exe)"), {"a.cod\"b.exe"});
    EXPECT_EQ(escaped.codeFile, "a.cod");
    EXPECT_EQ(escaped.exeFile, "b.exe");
    EXPECT_EQ(Parse(std::nullopt, {"a.cod\"b.exe\""}).exeFile, "b.exe");  // a closing quote is forgiven
    EXPECT_NE(Parse(std::nullopt, {"a.cod\""}).error, "");
    EXPECT_NE(Parse(std::nullopt, {"a.cod\"b\"c"}).error, "");
}

TEST(MakeCommandLineTest, TheConventionalForm) {
    MakeRequest request =
        Parse(std::string(R"("C:\My Files\a.cod" -o b.exe)"), {R"(C:\My Files\a.cod)", "-o", "b.exe"});
    EXPECT_FALSE(request.environmentForm);
    EXPECT_EQ(request.codeFile, R"(C:\My Files\a.cod)");
    EXPECT_EQ(request.exeFile, "b.exe");
    request = Parse(std::string(R"(a.cod -o "x y.exe")"), {"a.cod", "-o", "x y.exe"});
    EXPECT_FALSE(request.environmentForm);
    EXPECT_EQ(request.exeFile, "x y.exe");
    EXPECT_EQ(Parse(std::nullopt, {"-o", "b", "dir/a.cod"}).exeFile, "b");
    EXPECT_EQ(Parse(std::nullopt, {"dir/a.cod"}).exeFile, "dir/a.exe");
    EXPECT_NE(ParseMakeCommandLine(std::nullopt, {"a"}, "").error, "");  // it would replace the code file
    EXPECT_TRUE(Parse(std::nullopt, {"a.cod", "--help"}).help);
    for (std::vector<std::string> wrong :
         std::vector<std::vector<std::string>>{{}, {"a.cod", "-o"}, {"-x", "a.cod"}, {"a.cod", "b.cod"}})
        EXPECT_NE(Parse(std::nullopt, wrong).error, "");
}

}  // namespace
}  // namespace tallow::make
