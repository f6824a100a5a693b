// Initialisation-file text by the profile rules: lookups, name lists, edits
// that keep every other byte, and the number and default readings.
#include "platform/ini_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tallow::platform {
namespace {

using Names = std::vector<std::string>;

TEST(IniText, LookupsAndNameLists) {
    IniText ini(
        "top=before any section\n"
        "  [ Main ]  trailing words\n"
        "  Name  =  Fred Smith  \n"
        "name=second\n"
        "   ; comment=not a key\n"
        "no equals sign here\n"
        "eq=a=b\n"
        "quoted=\"  padded  \"\n"
        "mixed=\"x'\n"
        "=nameless\n"
        "[main]\n"
        "late=only in the second section of the name\n"
        "[]\n"
        "[open bracket\n"
        "k='v'\n");
    EXPECT_EQ(ini.Value(" MAIN ", "name"), "Fred Smith");
    EXPECT_EQ(ini.Value("Main", "eq"), "a=b");
    EXPECT_EQ(ini.Value("Main", "quoted"), "  padded  ");
    EXPECT_EQ(ini.Value("Main", "mixed"), "\"x'");
    EXPECT_EQ(ini.Value("open bracket", "k"), "v");
    EXPECT_EQ(ini.Value("Main", "late"), std::nullopt);
    EXPECT_EQ(ini.Value("Main", "; comment"), std::nullopt);
    EXPECT_EQ(ini.Value("Main", "no equals sign here"), std::nullopt);
    EXPECT_EQ(ini.Value("", "top"), std::nullopt);
    // Each name once, as first written; empty names left out.
    EXPECT_EQ(ini.SectionNames(), (Names{"Main", "open bracket"}));
    EXPECT_EQ(ini.KeyNames("MAIN"), (Names{"Name", "eq", "quoted", "mixed"}));
    EXPECT_EQ(ini.KeyNames("missing"), Names{});
}

TEST(IniText, WritesKeepEveryOtherByteAndTheFileLineEnds) {
    IniText ini(
        "; settings\r\n"
        "[Main]\r\n"
        "  Colour = red\r\n"
        "size=1\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=1");
    ini.Write("MAIN", "colour", "blue");
    ini.Write("main", "new", "  spaced  ");
    ini.Write("other", "y", "2");
    ini.Write("Third", "k", "v");
    EXPECT_EQ(ini.Text(),
              "; settings\r\n[Main]\r\nColour=blue\r\nsize=1\r\nnew=  spaced  \r\n\r\n"
              "[Other]\r\nx=1\r\ny=2\r\n[Third]\r\nk=v\r\n");
    EXPECT_EQ(ini.Value("main", "new"), "spaced");
    // A section without entries gets its first right below its header; a
    // text without any line end gets LF; a byte-order mark stays in front.
    IniText bare("[a]\n\n[b]");
    bare.Write("a", "k", "v");
    EXPECT_EQ(bare.Text(), "[a]\nk=v\n\n[b]");
    IniText one("[s]");
    one.Write("s", "k", "v");
    EXPECT_EQ(one.Text(), "[s]\nk=v\n");
    IniText marked("\xEF\xBB\xBF[s]\r\nk=v\r\n");
    marked.Write("s", "k", "w");
    EXPECT_EQ(marked.Text(), "\xEF\xBB\xBF[s]\r\nk=w\r\n");
    // Added lines end as a fresh read of the text as it is now would end
    // them, so the profile functions (which read the file again) write the
    // same bytes: LF once every CR LF line went, CR LF after a first line
    // whose own CR a later LF completed.
    IniText emptied("[a]\r\nk=v\r\n");
    emptied.DeleteSection("a");
    emptied.Write("b", "k", "v");
    EXPECT_EQ(emptied.Text(), "[b]\nk=v\n");
    IniText carriage("[a]\r");
    carriage.Write("b", "k", "v");
    EXPECT_EQ(carriage.Text(), "[a]\r\n[b]\r\nk=v\r\n");
    EXPECT_EQ(carriage.Text(), IniText(carriage.Text()).Text());
}

TEST(IniText, DeletingKeysAndSections) {
    IniText ini("[a]\nk=1\nkeep=2\nK=3\n[b]\nk=4\n[A]\nk=5\n[c]\nx=6\n");
    EXPECT_TRUE(ini.DeleteKey("A", "k"));
    EXPECT_EQ(ini.Value("a", "k"), std::nullopt);
    EXPECT_EQ(ini.Value("b", "k"), "4");
    EXPECT_FALSE(ini.DeleteKey("a", "k"));
    EXPECT_TRUE(ini.DeleteSection("a"));
    EXPECT_EQ(ini.Text(), "[b]\nk=4\n[c]\nx=6\n");
    EXPECT_FALSE(ini.DeleteSection("a"));
}

TEST(IniText, WritableNamesNumbersAndDefaults) {
    EXPECT_TRUE(IniWritable("s", " k ", "any value = with ; and [brackets]"));
    for (auto [section, key, value] : {std::tuple{"s", "k", "two\nlines"},
                                       {"s", "k\r", "v"},
                                       {"s\n", "k", "v"},
                                       {"a]b", "k", "v"},
                                       {"s", "a=b", "v"},
                                       {"s", "  ", "v"},
                                       {"s", " [k", "v"},
                                       {"s", ";k", "v"}})
        EXPECT_FALSE(IniWritable(section, key, value)) << section << "/" << key << "/" << value;
    EXPECT_EQ(IniNumber("  +7 apples"), 7u);
    EXPECT_EQ(IniNumber("-5"), 4294967291u);
    EXPECT_EQ(IniNumber("4294967296"), 0u);
    EXPECT_EQ(IniNumber("abc"), 0u);
    EXPECT_EQ(IniNumber("0x10"), 0u);
    EXPECT_EQ(IniDefault("text  "), "text");
    EXPECT_EQ(IniDefault("  text\t"), "  text\t");
}

}  // namespace
}  // namespace tallow::platform
