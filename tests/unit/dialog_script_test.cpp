// Dialog scripts: the reader against the resource compiler byte for byte
// (when i686-w64-mingw32-windres is at hand), the writer through the reader
// on fixed and on seeded random templates, and the reader's messages.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include "codec/dialog_template.h"
#include "tools/tallowcod/dialog_script_parser.h"
#include "tools/tallowcod/dialog_script_writer.h"
#include "tools/tallowcod/rc_names.h"

namespace tallow::codec {
namespace {

namespace fs = std::filesystem;

#ifdef TALLOW_WINDRES
std::u16string ReadSzOrOrd(const std::vector<uint8_t>& d, size_t& o) {
    std::u16string text;
    auto unit = [&](size_t at) { return static_cast<char16_t>(d.at(at) | d.at(at + 1) << 8); };
    if (unit(o) == 0xFFFF) {
        text = u"#" + std::u16string(1, unit(o + 2));
        o += 4;
        return text;
    }
    for (; unit(o) != 0; o += 2)
        text.push_back(unit(o));
    o += 2;
    return text;
}

// The RT_DIALOG resources of a .res file by name: a sequence of records,
// each DataSize, HeaderSize, TYPE and NAME (sz_Or_Ord), then the rest of the
// header, the data, and padding to 4.
std::map<std::string, std::vector<uint8_t>> DialogResources(const std::vector<uint8_t>& res) {
    std::map<std::string, std::vector<uint8_t>> dialogs;
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(res.at(at) | res.at(at + 1) << 8 | res.at(at + 2) << 16 |
                                     res.at(at + 3) << 24);
    };
    for (size_t at = 0; at + 8 <= res.size();) {
        uint32_t dataSize = u32(at), headerSize = u32(at + 4);
        size_t o = at + 8;
        std::u16string type = ReadSzOrOrd(res, o);
        std::u16string name = ReadSzOrOrd(res, o);
        if (type == u"#\x0005")
            dialogs[NarrowUnits(name)].assign(res.begin() + at + headerSize,
                                              res.begin() + at + headerSize + dataSize);
        at = (at + headerSize + dataSize + 3) & ~size_t{3};
    }
    return dialogs;
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#endif

// Compiles an .rc file with the cross resource compiler; empty when it is
// not installed (the caller skips).
std::optional<std::map<std::string, std::vector<uint8_t>>> CompileWithWindres(const fs::path& rc) {
#ifdef TALLOW_WINDRES
    fs::path res = fs::temp_directory_path() / ("tallow_dialog_script_" + rc.stem().string() + ".res");
    std::string command =
        std::string(TALLOW_WINDRES) + " -i \"" + rc.string() + "\" -O res -o \"" + res.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    auto dialogs = DialogResources(ReadBytes(res));
    fs::remove(res);
    return dialogs;
#else
    (void)rc;
    return std::nullopt;
#endif
}

#ifdef TALLOW_DIALOG_SCRIPTS
std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void ExpectSameAsWindres(const fs::path& rc) {
    auto expected = CompileWithWindres(rc);
    if (!expected) GTEST_SKIP() << "i686-w64-mingw32-windres is not installed";
    std::vector<ScriptDialog> dialogs = ParseDialogScript(ReadText(rc), rc.string());
    ASSERT_EQ(dialogs.size(), expected->size());
    for (const ScriptDialog& dialog : dialogs) {
        SCOPED_TRACE(dialog.name);
        auto found = expected->find(Upper(dialog.name));
        ASSERT_NE(found, expected->end());
        std::vector<uint8_t> bytes = WriteDialogTemplate(dialog.dialog);
        EXPECT_EQ(bytes, found->second);
        // And the writer's text of it reads back to the same bytes.
        auto again = ParseDialogScript(WriteDialogScript(dialog.name, dialog.dialog), "again.rc");
        ASSERT_EQ(again.size(), 1u);
        EXPECT_EQ(WriteDialogTemplate(again[0].dialog), bytes);
    }
}

TEST(DialogScriptWindres, ControlStatements) {
    ExpectSameAsWindres(fs::path(TALLOW_DIALOG_SCRIPTS) / "controls.rc");
}
TEST(DialogScriptWindres, HeaderStatements) {
    ExpectSameAsWindres(fs::path(TALLOW_DIALOG_SCRIPTS) / "header.rc");
}
TEST(DialogScriptWindres, TextsAndGenericControls) {
    ExpectSameAsWindres(fs::path(TALLOW_DIALOG_SCRIPTS) / "text.rc");
}
#endif

// Every built-in name has the value the system headers give it: each is
// compiled as a control's extended style, which the compiler stores as is.
TEST(DialogScriptWindres, NamesMatchTheSystemHeaders) {
    fs::path rc = fs::temp_directory_path() / "tallow_dialog_script_names.rc";
    {
        std::ofstream out(rc);
        out << "#include <windows.h>\nNAMES DIALOG 0, 0, 1, 1\nBEGIN\n";
        for (const RcName& name : AllRcNames())
            out << "CONTROL \"\", 1, \"X\", 0, 0, 0, 1, 1, " << name.name << "\n";
        out << "END\n";
    }
    auto compiled = CompileWithWindres(rc);
    fs::remove(rc);
    if (!compiled) GTEST_SKIP() << "i686-w64-mingw32-windres is not installed";
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate((*compiled)["NAMES"], dialog));
    auto names = AllRcNames();
    ASSERT_EQ(dialog.items.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(dialog.items[i].exStyle, names[i].value) << names[i].name;
}

DialogTemplate ReadBack(std::string_view name, const DialogTemplate& dialog) {
    std::string text = WriteDialogScript(name, dialog);
    std::vector<ScriptDialog> dialogs = ParseDialogScript(text, "written.rc");
    EXPECT_EQ(dialogs.size(), 1u) << text;
    EXPECT_EQ(dialogs.at(0).name, name);
    return dialogs.at(0).dialog;
}

// Templates the statements cannot state plainly: a caption without the
// caption bits, ordinal titles, named and numeric classes in odd case, wide
// characters, ids of 0xFFFF, styles that contradict a statement's type.
TEST(DialogScriptWriter, StatesOddTemplatesExactly) {
    DialogTemplate dialog;
    dialog.style = 0x00800000;  // WS_BORDER only, yet a caption
    dialog.title = u"Quote \" back\\slash \x01 \xFF \x263A";
    dialog.menu = NameOrOrdinal::Named(u"my menu");
    dialog.windowClass = NameOrOrdinal::Number(7);
    dialog.exStyle = 0x80000002;
    DialogItem item;
    item.id = 0xFFFF;
    item.x = -32768;
    item.cy = 32767;
    for (auto [windowClass, title, style] :
         std::initializer_list<std::tuple<NameOrOrdinal, NameOrOrdinal, uint32_t>>{
             {NameOrOrdinal::Number(0x80), NameOrOrdinal::Named(u"B"), 0x0000000F},
             {NameOrOrdinal::Number(0x80), NameOrOrdinal::Number(5), 0x50010000},
             {NameOrOrdinal::Number(0x81), NameOrOrdinal::Named(u"text in an edit"), 0x50810000},
             {NameOrOrdinal::Number(0x82), NameOrOrdinal::Named(u"frame"), 0x50000007},
             {NameOrOrdinal::Number(0x85), NameOrOrdinal::Named(u""), 0xFFFFFFFF},
             {NameOrOrdinal::Number(0x99), NameOrOrdinal::Named(u""), 0},
             {NameOrOrdinal::Named(u"MixedCase"), NameOrOrdinal::Named(u"x"), 0x10000000},
             {NameOrOrdinal::Named(u"button"), NameOrOrdinal::Named(u"y"), 0x5001000B},
         }) {
        item.windowClass = windowClass;
        item.title = title;
        item.style = style;
        item.exStyle = style == 0 ? 0xFFFFFFFF : 0;
        dialog.items.push_back(item);
    }
    EXPECT_EQ(ReadBack("odd", dialog), dialog);
    dialog.style = kDsSetFont;
    dialog.pointSize = 0;
    dialog.title.clear();
    EXPECT_EQ(ReadBack("Not an identifier!", dialog), dialog);
}

// Seeded random templates: whatever the fields, the text reads back to them.
TEST(DialogScriptWriter, RandomTemplatesReadBack) {
    std::mt19937 random(20240517);
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    const uint32_t interesting[] = {0,          0x50010000, 0x50000000, 0x10000000,
                                    0x40000000, 0x80C800C0, 0xFFFFFFFF};
    auto style = [&] {
        return pick(2) != 0 ? interesting[pick(std::size(interesting))] ^ (1u << pick(32)) : random();
    };
    auto text = [&] {
        std::u16string units;
        for (uint32_t n = pick(6); n > 0; --n) {
            const char16_t alphabet[] = {u'a', u'"', u'\\', u' ', u'\n', 0x7F, 0xE9, 0x100, 0xFFFF, u'7'};
            units.push_back(alphabet[pick(std::size(alphabet))]);
        }
        return units;
    };
    auto nameOrOrdinal = [&](bool allowNone) {
        if (pick(2) != 0)
            return NameOrOrdinal::Number(static_cast<uint16_t>(pick(3) != 0 ? 0x80 + pick(6) : random()));
        std::u16string name = text();
        if (name.empty() && !allowNone) name = u"N";
        return NameOrOrdinal::Named(name);
    };
    for (int round = 0; round < 300; ++round) {
        DialogTemplate dialog;
        dialog.style = style();
        dialog.exStyle = pick(2) != 0 ? 0 : random();
        dialog.x = static_cast<int16_t>(random());
        dialog.title = text();
        dialog.menu = nameOrOrdinal(true);
        dialog.windowClass = nameOrOrdinal(true);
        if ((dialog.style & kDsSetFont) != 0) {
            dialog.pointSize = static_cast<uint16_t>(random());
            dialog.typeface = text();
        }
        for (uint32_t n = pick(5); n > 0; --n) {
            DialogItem item;
            item.style = style();
            item.exStyle = pick(3) != 0 ? 0 : random();
            item.y = static_cast<int16_t>(random());
            item.id = static_cast<uint16_t>(random());
            item.windowClass = nameOrOrdinal(false);
            item.title = nameOrOrdinal(true);
            dialog.items.push_back(item);
        }
        ASSERT_EQ(ReadBack("R" + std::to_string(round), dialog), dialog) << WriteDialogScript("R", dialog);
    }
}

TEST(DialogScriptWriter, RefusesCreationData) {
    DialogTemplate dialog;
    DialogItem item;
    item.id = 42;
    item.creationData = {1, 2};
    dialog.items = {item};
    try {
        WriteDialogScript("Data", dialog);
        FAIL() << "no error";
    } catch (const DialogScriptError& error) {
        EXPECT_STREQ(error.what(),
                     "dialog Data: control 42 carries creation data, which a DIALOG script cannot hold");
    }
}

TEST(DialogScriptReader, SeveralDialogsWithNamesAndLines) {
    auto dialogs = ParseDialogScript(
        "#define IGNORED 1\n"
        "first DIALOG 0,0,1,1 BEGIN END\n"
        "\n"
        "2 DIALOG 0,0,1,1 { }\n"
        "\"long name\" dialog 0,0,1,1 begin pushbutton \"a\", 1, 0,0,1,1 end\n",
        "several.rc");
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(dialogs[0].name, "first");
    EXPECT_EQ(dialogs[0].line, 2);
    EXPECT_EQ(dialogs[1].name, "2");
    EXPECT_EQ(dialogs[1].line, 4);
    EXPECT_EQ(dialogs[2].name, "long name");
    ASSERT_EQ(dialogs[2].dialog.items.size(), 1u);
    EXPECT_EQ(dialogs[2].dialog.items[0].style, 0x50010000u);
    EXPECT_TRUE(ParseDialogScript("// nothing\n/* at\n all */", "empty.rc").empty());
}

TEST(DialogScriptReader, MessagesNameFileLineAndWhatWasExpected) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"D DIALOG 0,0,1,1\nBEGIN\n  PUSHBUTTON \"a\" 1, 0,0,1,1\nEND",
         "f.rc:3: expected ',' after the control's text, found '1'"},
        {"D DIALOGEX 0,0,1,1 BEGIN END",
         "f.rc:1: DIALOGEX is not supported (code files hold classic templates): use DIALOG"},
        {"D MENU\nBEGIN END", "f.rc:1: expected DIALOG after the dialog name, found 'MENU'"},
        {"D DIALOG 0,0,1\nBEGIN END", "f.rc:2: expected ',' after the width, found 'BEGIN'"},
        {"D DIALOG 0,0,1,1\nSTYLE WS_FOO\nBEGIN END", "f.rc:2: unknown name 'WS_FOO' (expected a style)"},
        {"D DIALOG 0,0,1,1\nCAPTION Title\nBEGIN END",
         "f.rc:2: expected the caption as a string, found 'Title'"},
        {"D DIALOG 0,0,1,1\nCOLOR 3\nBEGIN END", "f.rc:2: expected a dialog option or BEGIN, found 'COLOR'"},
        {"D DIALOG 0,0,1,1\nBEGIN\n  BUTTON \"a\", 1, 0,0,1,1\nEND",
         "f.rc:3: expected a control statement or END, found 'BUTTON'"},
        {"D DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"a\", 1, 0,0,1,1\n",
         "f.rc:4: expected a control statement or END, found the end of the file"},
        {"D DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"open, 1, 0,0,1,1\nEND",
         "f.rc:3: expected '\"' to end the string"},
        {"D DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"a\", 1/0, 0,0,1,1\nEND", "f.rc:3: division by zero"},
        {"D DIALOG 0x,0,1,1 BEGIN END", "f.rc:1: expected hexadecimal digits after 0x"},
        {"D DIALOG 0,0,1,1\nFONT 8 \"x\"\nBEGIN END",
         "f.rc:2: expected ',' after the point size, found a string"},
        {"D DIALOG 0,0,(1,1 BEGIN END", "f.rc:1: expected ')', found ','"},
        {", DIALOG", "f.rc:1: expected a dialog name, found ','"},
    };
    // Nesting: 256 levels of operands read (255 parentheses around a number),
    // one more is refused (it used to exhaust the stack).
    std::string deep = "D DIALOG 0,0,1," + std::string(255, '(') + "1" + std::string(255, ')') + " BEGIN END";
    EXPECT_EQ(ParseDialogScript(deep, "f.rc").at(0).dialog.cy, 1);
    std::string deeper = "D DIALOG 0,0,1," + std::string(200, '(') + std::string(56, '-') + "1 BEGIN END";
    EXPECT_THROW(ParseDialogScript(deeper, "f.rc"), DialogScriptError);
    std::string huge = "D DIALOG 0,0,1," + std::string(100000, '(') + "1 BEGIN END";
    try {
        ParseDialogScript(huge, "f.rc");
        ADD_FAILURE() << "no error for 100000 parentheses";
    } catch (const DialogScriptError& error) {
        EXPECT_STREQ(error.what(), "f.rc:1: expression nested too deeply");
    }
    // The smallest value divided by -1 wraps as 32-bit arithmetic does (it
    // used to trap); the remainder is 0.
    const auto& wrapped =
        ParseDialogScript("D DIALOG 0x80000000 / -1, 0x80000000 % -1, 1, 1 BEGIN END", "f.rc");
    EXPECT_EQ(wrapped.at(0).dialog.x, 0);
    EXPECT_EQ(wrapped.at(0).dialog.y, 0);
    for (const Case& c : cases) {
        try {
            ParseDialogScript(c.text, "f.rc");
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const DialogScriptError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace tallow::codec
