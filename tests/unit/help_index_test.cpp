// The reference's search index as F1 reads it, and what a keyword finds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ide/model/help_index.h"

namespace tallow::ide {
namespace {

// As the reference's builder writes it: one object a line, keys sorted,
// fields the reader does not know among them.
constexpr const char* kIndex = R"(var TALLOW_INDEX = [
{
"also": ["box", "dialog"],
"kind": "function",
"name": "msgbox",
"text": "Shows a \"box\" \u00e9.",
"url": "functions/msgbox.html"
},
{"kind": "member", "name": "clock.now", "text": "", "url": "objects/clock.html#now", "weight": 2.5e1},
{"kind": "guide", "name": "Stand-alone executables", "url": "../guide/executables.html", "text": "x"},
{"kind": "statement", "name": "print", "url": "statements/print.html", "text": "", "nested": {"a": [1, {}]}},
{"kind": "statement", "name": "printer", "url": "objects/printer.html", "text": ""},
{"kind": "statement", "url": "nameless.html"}
];
)";

TEST(HelpIndex, EntriesAreReadWithTheirFieldsWhateverElseTheyHold) {
    std::vector<HelpEntry> index = ParseHelpIndex(kIndex);
    ASSERT_EQ(index.size(), 5u);
    EXPECT_EQ(index[0].name, "msgbox");
    EXPECT_EQ(index[0].kind, "function");
    EXPECT_EQ(index[0].text, "Shows a \"box\" \xe9.");
    EXPECT_EQ(index[1].url, "objects/clock.html#now");
    EXPECT_EQ(index[3].name, "print");
    // Cut short: what was read before the fault.
    std::string text = kIndex;
    EXPECT_EQ(ParseHelpIndex(text.substr(0, text.find("clock.now") + 20)).size(), 1u);
    EXPECT_TRUE(ParseHelpIndex("").empty());
    EXPECT_TRUE(ParseHelpIndex("var TALLOW_INDEX = [{\"name\": \"a\\u00zz\", \"url\": \"b\"}];").empty());
}

TEST(HelpIndex, AKeywordFindsItsEntryOrTheEntriesLikeIt) {
    std::vector<HelpEntry> index = ParseHelpIndex(kIndex);
    HelpMatches found = FindHelpEntries(index, "MsgBox");
    EXPECT_TRUE(found.exact);
    ASSERT_EQ(found.entries.size(), 1u);
    EXPECT_EQ(PageOfUrl(found.entries[0].url), "functions/msgbox.html");
    EXPECT_EQ(PageOfUrl(FindHelpEntries(index, "clock.now").entries[0].url), "objects/clock.html");

    // Not a name: names that start with it first, then those that hold it.
    found = FindHelpEntries(index, "prin");
    EXPECT_FALSE(found.exact);
    ASSERT_EQ(found.entries.size(), 2u);
    EXPECT_EQ(found.entries[0].name, "print");
    found = FindHelpEntries(index, "o");
    ASSERT_EQ(found.entries.size(), 3u);  // msgbox, clock.now, Stand-alone executables
    EXPECT_EQ(FindHelpEntries(index, "o", 1).entries.size(), 1u);
    EXPECT_TRUE(FindHelpEntries(index, "zzz").entries.empty());
    EXPECT_TRUE(FindHelpEntries(index, "").entries.empty());
}

}  // namespace
}  // namespace tallow::ide
