// The code-file reader on both versions and on every malformed layout: each
// is refused at its stage, nothing is read past the bytes or allocated for a
// size the bytes cannot hold.
#include "codec/code_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "codec/dialog_template.h"

namespace tallow::codec {
namespace {

std::vector<uint8_t> SmallTemplate(std::u16string title) {
    DialogTemplate dialog;
    dialog.style = kDsSetFont;
    dialog.pointSize = 8;
    dialog.typeface = u"MS Sans Serif";
    dialog.title = std::move(title);
    DialogItem ok;
    ok.style = 0x50010001;
    ok.id = 1;
    ok.windowClass = NameOrOrdinal::Named(u"BUTTON");
    ok.title = NameOrOrdinal::Named(u"OK");
    dialog.items = {ok};
    return WriteDialogTemplate(dialog);
}

// Builds a file field by field, so malformed layouts are easy to state.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& Magic(const char* text) {
        size_t start = data.size();
        data.resize(start + kMagicSize, 0);
        std::memcpy(data.data() + start, text, std::min(std::strlen(text), kMagicSize));
        return *this;
    }
    Bytes& I16(int16_t v) {
        data.push_back(static_cast<uint8_t>(v));
        data.push_back(static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8));
        return *this;
    }
    Bytes& I32(int32_t v) {
        for (int shift = 0; shift < 32; shift += 8)
            data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
        return *this;
    }
    Bytes& Raw(const std::vector<uint8_t>& bytes) {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Bytes& Name(const char* name) {
        auto field = NameField(name);
        data.insert(data.end(), field.begin(), field.end());
        return *this;
    }
    Bytes& Date() { return I16(2024).I16(5).I16(17); }
    Bytes& Template(const std::vector<uint8_t>& bytes) {
        return I32(static_cast<int32_t>(bytes.size())).Raw(bytes);
    }
    Bytes& Code(const std::string& text) {
        I32(static_cast<int32_t>(text.size() + 1));
        data.insert(data.end(), text.begin(), text.end());
        data.push_back(0);
        return *this;
    }
};

CodeFileError Read(const std::vector<uint8_t>& bytes, CodeFile& file, size_t* dialogsRead = nullptr) {
    // A copy of the exact size, so that AddressSanitizer sees any read past it.
    std::vector<uint8_t> exact(bytes);
    exact.shrink_to_fit();
    return ReadCodeFile(exact, file, dialogsRead);
}

TEST(CodeFile, ReadsVersion1) {
    auto one = SmallTemplate(u"One");
    auto two = SmallTemplate(u"Two");
    Bytes b;
    b.Magic("TALLOW1").Date().I16(2).Name("first").Template(one).Name("second").Template(two).Code("print 1");
    CodeFile file;
    size_t dialogs = 99;
    ASSERT_EQ(Read(b.data, file, &dialogs), CodeFileError::None);
    EXPECT_EQ(file.version, 1);
    EXPECT_EQ(file.year, 2024);
    EXPECT_EQ(file.month, 5);
    EXPECT_EQ(file.day, 17);
    ASSERT_EQ(file.dialogs.size(), 2u);
    EXPECT_EQ(dialogs, 2u);
    EXPECT_EQ(file.dialogs[0].name, "first");
    EXPECT_EQ(file.dialogs[0].templateBytes, one);
    EXPECT_EQ(file.dialogs[1].name, "second");
    EXPECT_EQ(file.code, std::string("print 1\0", 8));
    EXPECT_EQ(file.Text(), "print 1");
    EXPECT_EQ(WriteCodeFile(file), b.data);
}

TEST(CodeFile, ReadsVersion0WithItsOneDialog) {
    auto dialog = SmallTemplate(u"Old");
    Bytes b;
    b.Magic("TALLOW").Date().Template(dialog).Code("x# = 1");
    CodeFile file;
    ASSERT_EQ(Read(b.data, file), CodeFileError::None);
    EXPECT_EQ(file.version, 0);
    ASSERT_EQ(file.dialogs.size(), 1u);
    EXPECT_EQ(file.dialogs[0].name, "dialog");
    EXPECT_EQ(file.dialogs[0].templateBytes, dialog);
    EXPECT_EQ(file.Text(), "x# = 1");
    EXPECT_EQ(WriteCodeFile(file), b.data);
}

// The bytes after the NULs of the magic and of a name carry no meaning but
// are kept, so that a file is written back unchanged.
TEST(CodeFile, KeepsLeftoverBytesOfMagicAndNames) {
    Bytes b;
    b.Magic("TALLOW1\0junk").Date().I16(1);
    b.data[10] = 'j';
    size_t nameAt = b.data.size();
    b.Name("dlg").Template(SmallTemplate(u"T")).Code("");
    b.data[nameAt + 5] = 'Z';
    b.data[nameAt + 15] = 'Q';  // even the last byte: the name ends at its first NUL
    CodeFile file;
    ASSERT_EQ(Read(b.data, file), CodeFileError::None);
    EXPECT_EQ(file.dialogs[0].name, "dlg");
    EXPECT_EQ(WriteCodeFile(file), b.data);
}

TEST(CodeFile, CountZeroAndCodeSizeOne) {
    Bytes b;
    b.Magic("TALLOW1").Date().I16(0).Code("");
    CodeFile file;
    ASSERT_EQ(Read(b.data, file), CodeFileError::None);
    EXPECT_TRUE(file.dialogs.empty());
    EXPECT_EQ(file.code.size(), 1u);
    EXPECT_EQ(file.Text(), "");
}

TEST(CodeFile, TextEndsAtItsFirstNul) {
    Bytes b;
    b.Magic("TALLOW1").Date().I16(0).I32(6).Raw({'a', 'b', 0, 'c', 'd', 0});
    CodeFile file;
    ASSERT_EQ(Read(b.data, file), CodeFileError::None);
    EXPECT_EQ(file.Text(), "ab");
    EXPECT_EQ(file.code.size(), 6u);
}

TEST(CodeFile, RefusesOtherMagics) {
    const char* magics[] = {"TALLOW2", "TALLOW10", "tallow1", "TALLO", ""};
    for (const char* magic : magics) {
        Bytes b;
        b.Magic(magic).Date().I16(0).Code("");
        CodeFile file;
        EXPECT_EQ(Read(b.data, file), CodeFileError::InvalidType) << magic;
    }
    // Sixteen bytes without a NUL match no magic.
    Bytes b;
    b.Magic("TALLOW1XXXXXXXXXX").Date().I16(0).Code("");
    CodeFile file;
    EXPECT_EQ(Read(b.data, file), CodeFileError::InvalidType);
}

TEST(CodeFile, RefusesFilesShorterThanTheMagic) {
    Bytes b;
    b.Magic("TALLOW1");
    for (size_t size = 0; size < kMagicSize; ++size) {
        CodeFile file;
        EXPECT_EQ(Read({b.data.begin(), b.data.begin() + size}, file), CodeFileError::InvalidType) << size;
    }
}

// A version-1 file cut at any byte fails at the stage the cut falls in:
// before the code size a dialog stage, from there on the code stage.
TEST(CodeFile, RefusesEveryTruncationAtItsStage) {
    Bytes b;
    b.Magic("TALLOW1").Date().I16(2).Name("first").Template(SmallTemplate(u"A"));
    b.Name("second").Template(SmallTemplate(u"B"));
    size_t codeAt = b.data.size();
    b.Code("print 1");
    for (size_t size = kMagicSize; size < b.data.size(); ++size) {
        CodeFile file;
        CodeFileError expected = size < codeAt ? CodeFileError::DialogResource : CodeFileError::CodeResource;
        EXPECT_EQ(Read({b.data.begin(), b.data.begin() + size}, file), expected) << "cut at " << size;
    }
}

TEST(CodeFile, Version0TruncationAtItsStage) {
    Bytes b;
    b.Magic("TALLOW").Date().Template(SmallTemplate(u"A"));
    size_t codeAt = b.data.size();
    b.Code("x");
    for (size_t size = kMagicSize; size < b.data.size(); ++size) {
        CodeFile file;
        size_t dialogs = 9;
        CodeFileError expected = size < codeAt ? CodeFileError::DialogResource : CodeFileError::CodeResource;
        EXPECT_EQ(Read({b.data.begin(), b.data.begin() + size}, file, &dialogs), expected) << size;
        EXPECT_EQ(dialogs, size < codeAt ? 0u : 1u);
    }
}

TEST(CodeFile, DialogsReadCountsCompleteRecords) {
    Bytes b;
    b.Magic("TALLOW1").Date().I16(3).Name("a").Template(SmallTemplate(u"A")).Name("b").I32(-1);
    CodeFile file;
    size_t dialogs = 0;
    EXPECT_EQ(Read(b.data, file, &dialogs), CodeFileError::DialogResource);
    EXPECT_EQ(dialogs, 1u);
}

TEST(CodeFile, RefusesBadSizesAndCounts) {
    auto tmpl = SmallTemplate(u"A");
    struct Case {
        const char* what;
        Bytes bytes;
        CodeFileError expected;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"negative count", Bytes().Magic("TALLOW1").Date().I16(-1).Code(""), CodeFileError::DialogResource});
    cases.push_back({"count beyond the records", Bytes().Magic("TALLOW1").Date().I16(32767).Code(""),
                     CodeFileError::DialogResource});
    cases.push_back({"negative template size",
                     Bytes().Magic("TALLOW1").Date().I16(1).Name("d").I32(-4).Code(""),
                     CodeFileError::DialogResource});
    cases.push_back({"huge template size",
                     Bytes().Magic("TALLOW1").Date().I16(1).Name("d").I32(0x7FFFFFFF).Raw(tmpl).Code(""),
                     CodeFileError::DialogResource});
    cases.push_back({"empty template", Bytes().Magic("TALLOW1").Date().I16(1).Name("d").I32(0).Code(""),
                     CodeFileError::DialogResource});
    cases.push_back({"version 0 negative template", Bytes().Magic("TALLOW").Date().I32(-1).Code(""),
                     CodeFileError::DialogResource});
    cases.push_back(
        {"negative code size", Bytes().Magic("TALLOW1").Date().I16(0).I32(-1), CodeFileError::CodeResource});
    cases.push_back({"2 GB code size", Bytes().Magic("TALLOW1").Date().I16(0).I32(0x7FFFFFFF).Raw(tmpl),
                     CodeFileError::CodeResource});
    cases.push_back({"code one byte short", Bytes().Magic("TALLOW1").Date().I16(0).I32(3).Raw({'a', 0}),
                     CodeFileError::CodeResource});
    for (const Case& c : cases) {
        CodeFile file;
        EXPECT_EQ(Read(c.bytes.data, file), c.expected) << c.what;
    }
}

// A template whose own fields overrun its declared size is refused even when
// the file has more bytes after it.
TEST(CodeFile, RefusesTemplateOverrunningItsSize) {
    auto tmpl = SmallTemplate(u"A");
    Bytes b;
    b.Magic("TALLOW1").Date().I16(1).Name("d").I32(static_cast<int32_t>(tmpl.size() - 2)).Raw(tmpl).Code("");
    CodeFile file;
    EXPECT_EQ(Read(b.data, file), CodeFileError::DialogResource);
}

TEST(CodeFile, WritesNewFilesFromNames) {
    CodeFile file;
    file.year = 2025;
    file.month = 1;
    file.day = 2;
    file.dialogs.push_back({"averyveryverylongname", {}, SmallTemplate(u"X")});
    file.code = std::string("go\0", 3);
    std::vector<uint8_t> bytes = WriteCodeFile(file);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "TALLOW1");
    CodeFile back;
    ASSERT_EQ(Read(bytes, back), CodeFileError::None);
    EXPECT_EQ(back.dialogs[0].name, "averyveryverylo");  // 15 characters kept
    EXPECT_EQ(back.Text(), "go");
}

TEST(CodeFile, Fields) {
    auto magic = MagicField(0);
    EXPECT_STREQ(magic.data(), "TALLOW");
    EXPECT_EQ(magic[15], 0);
    auto name = NameField("exactlyfifteen!");
    EXPECT_STREQ(name.data(), "exactlyfifteen!");
    EXPECT_EQ(name[15], 0);
}

}  // namespace
}  // namespace tallow::codec
