// The word sort of sorted lists: the orders the system gives (measured on
// its list box and its string comparison), and the ties it leaves, which
// this order breaks so that it is total. Bytes are written in octal where a
// letter follows them.
#include "platform/word_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tallow::platform {
namespace {

using Words = std::vector<std::string>;

int Sign(int value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

// Every pair in order, each way round.
void ExpectAscending(const Words& words) {
    for (size_t i = 0; i < words.size(); ++i)
        for (size_t j = 0; j < words.size(); ++j)
            EXPECT_EQ(Sign(CompareWords(words[i], words[j])), i < j   ? -1
                                                              : i > j ? 1
                                                                      : 0)
                << "'" << words[i] << "' against '" << words[j] << "'";
}

TEST(WordOrderTest, SymbolsThenDigitsThenLettersWithAccentsBesideTheirLetters) {
    ExpectAscending({"",      " a",   "\240a", "!",     "[",      "_",         "{x",         "~",
                     "\xA1",  "+",    "<",     "=",     "\xB1",   "0",         "\xBC",       "1",
                     "\xB9",  "10",   "1a",    "\271b", "9",      "a",         "a_b",        "a1",
                     "\341a", "ab",   "af",    "\307a", "eclair", "\311clair", "\351clairs", "fig",
                     "i",     "\xEF", "x y",   "xy",    "zebra"});
}

TEST(WordOrderTest, HyphensApostrophesAndControlsCountOnlyAtTheEnd) {
    // The earlier such a character stands, the later its text sorts; an
    // apostrophe before a hyphen before the dashes.
    ExpectAscending({"coop", "coo-p", "co'op", "co-op", "co-op-", "co-o-p", "co--op", "-coop", "coops"});
    ExpectAscending({"its", "it's", "itself"});
    ExpectAscending({"xy", "x\x01y", "x\x7Fy", "x'y", "x-y", "x\x96y", "x\x97y", "xz"});
    // Accents decide before them, superscripts after accents.
    ExpectAscending({"co-op", "c\xF6op"});
    ExpectAscending({"1-", "\xB9"});
    ExpectAscending({"\xB9o", "1\xF6"});
}

TEST(WordOrderTest, DoubleLettersCountAsTwo) {
    ExpectAscending({"ad", "ae", "\xE6", "AE", "\xC6", "af"});
    ExpectAscending({"sr", "ss", "\xDF", "st"});
    ExpectAscending({"th", "\xFE", "ti", "tz", "\x99", "u"});
    ExpectAscending({"od", "oe", "\x9C", "\x8C", "of"});
}

TEST(WordOrderTest, TiesOfTheSystemAreBrokenSoTheOrderIsTotal) {
    // Letter case alone: small letters first, letter by letter.
    ExpectAscending({"apple", "applE", "Apple", "APPLE", "b"});
    // The soft hyphen counts for nothing but the last resort, the bytes.
    ExpectAscending({"xy", "x\xADy"});
    EXPECT_EQ(CompareWords("same", "same"), 0);
    EXPECT_EQ(CompareWords("", ""), 0);
}

TEST(WordOrderTest, Utf8TextsSortAsTheirCharacters) {
    // "éclair" in UTF-8 sorts where the code page's "éclair" does; a
    // character beyond the code page after all others.
    ExpectAscending({"eclair", "\303\251clair", "\303\251clairs", "fig", "zebra", "\316\251mega"});
    EXPECT_LT(CompareWords("\xE2\x82\xAC", "+"), 0);  // the euro sign among the symbols
    // Not valid UTF-8: bytes of the code page ("été").
    ExpectAscending({"e", "\xE9t\xE9", "f"});
}

TEST(WordOrderTest, SortingIsConsistent) {
    Words words = {"b",      "B",  "co-op", "coop", "-coop", "\xE6", "ae",       "AE", "1",   "\xB9",
                   "x\xADy", "xy", "it's",  "its",  "",      "~",    "\xC3\xA9", "e",  "\xE9"};
    std::sort(words.begin(), words.end(),
              [](const std::string& a, const std::string& b) { return CompareWords(a, b) < 0; });
    ExpectAscending(words);
}

}  // namespace
}  // namespace tallow::platform
