// Command lines as words: exec's split, and the quoting that carries words
// through a Windows command line to the started program unchanged.
#include "platform/command_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallow::platform {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandWords, BlanksQuotesAndTheEnd) {
    EXPECT_EQ(SplitCommandWords(""), Words{});
    EXPECT_EQ(SplitCommandWords(" \t\r\n "), Words{});
    EXPECT_EQ(SplitCommandWords("  prog  a\tb\nc  "), (Words{"prog", "a", "b", "c"}));
    // A quoted word keeps its blanks and loses its quotes, and may be empty.
    EXPECT_EQ(SplitCommandWords("prog \"a  b\" \"\" c"), (Words{"prog", "a  b", "", "c"}));
    // A word that does not begin with a quote keeps the quotes inside it.
    EXPECT_EQ(SplitCommandWords("say a\"b c\""), (Words{"say", "a\"b", "c\""}));
    // A quoted word ends at its closing quote even when text follows it.
    EXPECT_EQ(SplitCommandWords("\"a b\"c d"), (Words{"a b", "c", "d"}));
    // An unclosed quote runs to the end of the text.
    EXPECT_EQ(SplitCommandWords("prog \"open  end "), (Words{"prog", "open  end "}));
    // No escapes: a backslash is a character like any other.
    EXPECT_EQ(SplitCommandWords("prog \"dir\\\" x"), (Words{"prog", "dir\\", "x"}));
}

TEST(SplitCommandWords, AtMost127Words) {
    std::string text = "prog";
    for (int i = 1; i <= 200; ++i)
        text += " w" + std::to_string(i);
    Words words = SplitCommandWords(text);
    ASSERT_EQ(words.size(), kMaxCommandWords);
    EXPECT_EQ(words.front(), "prog");
    EXPECT_EQ(words.back(), "w126");

    std::string exact = "prog";
    for (size_t i = 1; i < kMaxCommandWords; ++i)
        exact += " \"w " + std::to_string(i) + "\"";
    EXPECT_EQ(SplitCommandWords(exact).size(), kMaxCommandWords);
    EXPECT_EQ(SplitCommandWords(exact + " one-more").size(), kMaxCommandWords);
}

// How a program's runtime divides its command line into arguments: blanks
// outside quotes separate, a quote toggles quoting, 2n backslashes before a
// quote are n backslashes and the quote toggles, 2n+1 are n backslashes and
// a literal quote; other backslashes are themselves.
Words ParseAsRuntime(const std::string& line) {
    Words args;
    std::string current;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < line.size();) {
        char c = line[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) args.push_back(current);
            current.clear();
            inWord = false;
            ++i;
            continue;
        }
        inWord = true;
        if (c == '\\') {
            size_t n = 0;
            while (i < line.size() && line[i] == '\\') {
                ++n;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                current.append(n / 2, '\\');
                if (n % 2) {
                    current += '"';
                    ++i;
                }
            } else {
                current.append(n, '\\');
            }
        } else if (c == '"') {
            quoted = !quoted;
            ++i;
        } else {
            current += c;
            ++i;
        }
    }
    if (inWord) args.push_back(current);
    return args;
}

TEST(QuoteCommandWord, PlainWordsStayAsTheyAre) {
    EXPECT_EQ(QuoteCommandWord("prog.exe"), "prog.exe");
    EXPECT_EQ(QuoteCommandWord("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(QuoteCommandWord(""), "\"\"");
    EXPECT_EQ(QuoteCommandWord("a b"), "\"a b\"");
}

TEST(QuoteCommandWord, EveryWordSurvivesTheRuntimesParse) {
    const Words words = {
        "C:\\Program Files\\prog.exe", "plain",      "",   "two words", "trailing\\", "blank and trailing\\",
        "blank and two\\\\",           "say \"hi\"", "\"", "\\\"",      "a\\\\\"b",   "tab\there",
        "\\\\server\\share\\x y",
    };
    EXPECT_EQ(ParseAsRuntime(JoinCommandWords(words)), words);
    for (const std::string& word : words)
        EXPECT_EQ(ParseAsRuntime(QuoteCommandWord(word)), Words{word}) << word;
}

}  // namespace
}  // namespace tallow::platform
