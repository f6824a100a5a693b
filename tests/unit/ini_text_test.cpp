// Initialisation-file text by the profile rules: lookups, name lists, edits
// that keep every other byte, and the number and default readings.
#include "platform/ini_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallow::platform {
namespace {

using Names = std::vector<std::string>;

TEST(IniText, LookupTrimsFoldsCaseAndTakesTheFirstMatch) {
    IniText ini(
        "top=before any section\n"
        "  [ Main ]  trailing words\n"
        "  Name  =  Fred Smith  \n"
        "name=second\n"
        "; comment=not a key\n"
        "   ;indented=comment too\n"
        "no equals sign here\n"
        "empty=\n"
        "eq=a=b\n"
        "[main]\n"
        "name=other section\n"
        "late=only here\n"
        "[open bracket\n"
        "k=v\n");
    EXPECT_EQ(ini.Value("main", "NAME"), "Fred Smith");
    EXPECT_EQ(ini.Value(" MAIN ", " name "), "Fred Smith");
    EXPECT_EQ(ini.Value("Main", "empty"), "");
    EXPECT_EQ(ini.Value("Main", "eq"), "a=b");
    // Only the first section of a name counts.
    EXPECT_EQ(ini.Value("Main", "late"), std::nullopt);
    EXPECT_EQ(ini.Value("Main", "comment"), std::nullopt);
    EXPECT_EQ(ini.Value("Main", "; comment"), std::nullopt);
    EXPECT_EQ(ini.Value("Main", "no equals sign here"), std::nullopt);
    EXPECT_EQ(ini.Value("", "top"), std::nullopt);
    EXPECT_EQ(ini.Value("open bracket", "k"), "v");
    EXPECT_EQ(ini.Value("missing", "name"), std::nullopt);
}

TEST(IniText, OnePairOfMatchingQuotesGoes) {
    IniText ini(
        "[q]\n"
        "double=\"  padded  \"\n"
        "single='x'\n"
        "mixed=\"x'\n"
        "lone=\"\n"
        "inner=a \"b\" c\n"
        "twice=\"\"x\"\"\n");
    EXPECT_EQ(ini.Value("q", "double"), "  padded  ");
    EXPECT_EQ(ini.Value("q", "single"), "x");
    EXPECT_EQ(ini.Value("q", "mixed"), "\"x'");
    EXPECT_EQ(ini.Value("q", "lone"), "\"");
    EXPECT_EQ(ini.Value("q", "inner"), "a \"b\" c");
    EXPECT_EQ(ini.Value("q", "twice"), "\"x\"");
}

TEST(IniText, NameListsInFileOrderEachOnceWhole) {
    std::string text = "[b]\nz=1\n[A]\nk=1\nK=2\n=nameless\nj=3\n[]\n[a]\nlater=1\n[c]\n";
    // Far more names than a 4096-byte buffer held.
    for (int i = 0; i < 1000; ++i)
        text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    IniText ini(text);
    EXPECT_EQ(ini.SectionNames(), (Names{"b", "A", "c"}));
    EXPECT_EQ(ini.KeyNames("a"), (Names{"k", "j"}));
    EXPECT_EQ(ini.KeyNames("missing"), Names{});
    Names keys = ini.KeyNames("c");
    ASSERT_EQ(keys.size(), 1000u);
    EXPECT_EQ(keys.front(), "key0");
    EXPECT_EQ(keys.back(), "key999");
    EXPECT_EQ(IniText("").SectionNames(), Names{});
}

TEST(IniText, WritesReplaceInPlaceAppendToTheSectionOrAddIt) {
    IniText ini(
        "; settings\n"
        "[Main]\n"
        "  Colour = red\n"
        "; about size\n"
        "size=1\n"
        "\n"
        "[Other]\n"
        "x=1\n");
    ini.Write("MAIN", "colour", "blue");
    ini.Write("main", "new", "  spaced  ");
    ini.Write("Third", "k", "v");
    EXPECT_EQ(ini.Text(),
              "; settings\n"
              "[Main]\n"
              "Colour=blue\n"
              "; about size\n"
              "size=1\n"
              "new=  spaced  \n"
              "\n"
              "[Other]\n"
              "x=1\n"
              "[Third]\n"
              "k=v\n");
    EXPECT_EQ(ini.Value("main", "new"), "spaced");
    // A section without entries gets its first one right below its header.
    IniText bare("[a]\n\n[b]\n");
    bare.Write("a", "k", "v");
    EXPECT_EQ(bare.Text(), "[a]\nk=v\n\n[b]\n");
}

TEST(IniText, CrLfFilesKeepTheirLineEndsAndEveryUntouchedByte) {
    IniText ini("[s]\r\nA = 1 \r\nb=2\r\n\r\n[t]\r\nc=3");
    EXPECT_EQ(ini.Value("S", "a"), "1");
    EXPECT_EQ(ini.Value("t", "c"), "3");
    EXPECT_EQ(ini.KeyNames("s"), (Names{"A", "b"}));
    ini.Write("s", "b", "two");
    ini.Write("t", "d", "4");
    ini.Write("u", "e", "5");
    EXPECT_EQ(ini.Text(), "[s]\r\nA = 1 \r\nb=two\r\n\r\n[t]\r\nc=3\r\nd=4\r\n[u]\r\ne=5\r\n");
    // A file with no line end at all gets LF; an empty one too.
    IniText one("[s]");
    one.Write("s", "k", "v");
    EXPECT_EQ(one.Text(), "[s]\nk=v\n");
    IniText empty("");
    empty.Write("s", "k", "v");
    EXPECT_EQ(empty.Text(), "[s]\nk=v\n");
    // A UTF-8 byte-order mark is no part of the first section's name, and stays.
    IniText marked("\xEF\xBB\xBF[s]\r\nk=v\r\n");
    EXPECT_EQ(marked.Value("s", "k"), "v");
    marked.Write("s", "k", "w");
    EXPECT_EQ(marked.Text(), "\xEF\xBB\xBF[s]\r\nk=w\r\n");
}

TEST(IniText, DeletingKeysAndSections) {
    IniText ini(
        "[a]\n"
        "k=1\n"
        "keep=2\n"
        "K=3\n"
        "[b]\n"
        "k=4\n"
        "[A]\n"
        "k=5\n"
        "[c]\n"
        "x=6\n");
    EXPECT_TRUE(ini.DeleteKey("A", "k"));
    EXPECT_EQ(ini.Value("a", "k"), std::nullopt);
    EXPECT_EQ(ini.Value("b", "k"), "4");
    EXPECT_FALSE(ini.DeleteKey("a", "k"));
    EXPECT_FALSE(ini.DeleteKey("missing", "k"));
    EXPECT_TRUE(ini.DeleteSection("a"));
    EXPECT_EQ(ini.Text(), "[b]\nk=4\n[c]\nx=6\n");
    EXPECT_FALSE(ini.DeleteSection("a"));
    EXPECT_TRUE(ini.DeleteSection("C"));
    EXPECT_EQ(ini.Text(), "[b]\nk=4\n");
}

TEST(IniText, WritableNamesAndValues) {
    EXPECT_TRUE(IniWritable("s", "k", "any value = with ; and [brackets]"));
    EXPECT_TRUE(IniWritable("s", " padded ", ""));
    EXPECT_TRUE(IniWritable("", "k", "v"));
    EXPECT_FALSE(IniWritable("s", "k", "two\nlines"));
    EXPECT_FALSE(IniWritable("s", "k", "cr\r"));
    EXPECT_FALSE(IniWritable("s", "k\n[other]", "v"));
    EXPECT_FALSE(IniWritable("s\nx", "k", "v"));
    EXPECT_FALSE(IniWritable("a]b", "k", "v"));
    EXPECT_FALSE(IniWritable("s", "a=b", "v"));
    EXPECT_FALSE(IniWritable("s", "  ", "v"));
    EXPECT_FALSE(IniWritable("s", " [k", "v"));
    EXPECT_FALSE(IniWritable("s", ";k", "v"));
}

TEST(IniText, NumbersAndDefaultsReadAsTheProfileFunctionsReadThem) {
    EXPECT_EQ(IniNumber("42"), 42u);
    EXPECT_EQ(IniNumber("  +7 apples"), 7u);
    EXPECT_EQ(IniNumber("-5"), 4294967291u);
    EXPECT_EQ(IniNumber("4294967296"), 0u);  // wraps
    EXPECT_EQ(IniNumber("abc"), 0u);
    EXPECT_EQ(IniNumber("-"), 0u);
    EXPECT_EQ(IniNumber("2.7"), 2u);
    EXPECT_EQ(IniNumber("0x10"), 0u);
    EXPECT_EQ(IniDefault("text  "), "text");
    EXPECT_EQ(IniDefault("  text\t"), "  text\t");
    EXPECT_EQ(IniDefault("   "), "");
}

}  // namespace
}  // namespace tallow::platform
