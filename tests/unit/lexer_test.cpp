// The lexer: token kinds, the two character sets, line breaks and comments.
#include "expr/lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/program.h"

namespace tallow {
namespace {

struct Tok {
    TokenKind kind;
    std::string text;
    bool newLine;
};

std::vector<Tok> Lex(const std::string& text) {
    Lexer lx;
    lx.SetText(text);
    std::vector<Tok> out;
    for (;;) {
        Token t = lx.NextToken();
        out.push_back({t.kind, std::string(t.text), t.newLine});
        if (t.kind == tkEnd) return out;
    }
}

void ExpectKinds(const std::string& text, std::vector<std::pair<TokenKind, std::string>> expected) {
    auto toks = Lex(text);
    ASSERT_EQ(toks.size(), expected.size() + 1) << text;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(toks[i].kind, expected[i].first) << text << " token " << i;
        EXPECT_EQ(toks[i].text, expected[i].second) << text << " token " << i;
    }
    EXPECT_EQ(toks.back().kind, tkEnd);
}

TEST(Lexer, SuffixesGiveKinds) {
    ExpectKinds("a$=", {{tkStringVar, "a"}, {tkDelimiter, "="}});
    ExpectKinds("left(", {{tkCall, "left"}});
    ExpectKinds("left (", {{tkWord, "left"}, {tkDelimiter, "("}});
    ExpectKinds("x.y#", {{tkMember, "x"}, {tkNumberVar, "y"}});
    ExpectKinds("mbOK@ top: n#", {{tkConstant, "mbOK"}, {tkLabel, "top"}, {tkNumberVar, "n"}});
    ExpectKinds("$ # @ : .",
                {{tkStringVar, ""}, {tkNumberVar, ""}, {tkConstant, ""}, {tkLabel, ""}, {tkMember, ""}});
}

TEST(Lexer, NumbersStopAtTheSecondFullStop) {
    ExpectKinds("1.2.3", {{tkNumber, "1.2"}, {tkMember, ""}, {tkNumber, "3"}});
    ExpectKinds("1.5e3", {{tkNumber, "1.5e3"}});
    ExpectKinds("1e-3", {{tkNumber, "1e"}, {tkDelimiter, "-"}, {tkNumber, "3"}});
    ExpectKinds("12abc", {{tkNumber, "12abc"}});
    ExpectKinds(".5", {{tkMember, ""}, {tkNumber, "5"}});
}

TEST(Lexer, StringsHaveNoEscapes) {
    ExpectKinds("\"a 'b' c\" x", {{tkString, "a 'b' c"}, {tkWord, "x"}});
    ExpectKinds("\"\"", {{tkString, ""}});
    Lexer lx;
    lx.SetText("\"open\r\nx");
    EXPECT_THROW(lx.NextToken(), ScriptError);
}

TEST(Lexer, LongTokensAreKeptWhole) {
    std::string word(5000, 'w');
    std::string literal(100000, 'q');
    ExpectKinds(word + " \"" + literal + "\"", {{tkWord, word}, {tkString, literal}});
}

TEST(Lexer, CommentsAndLineBreaks) {
    auto toks = Lex("a ' comment\r\nb");
    ASSERT_EQ(toks.size(), 3u);
    EXPECT_FALSE(toks[0].newLine);
    EXPECT_EQ(toks[1].text, "b");
    EXPECT_TRUE(toks[1].newLine);
    // Line feeds and lone carriage returns end lines too.
    toks = Lex("a\n\nb");
    EXPECT_TRUE(toks[1].newLine);
    toks = Lex("a\rb ' c\nd");
    EXPECT_TRUE(toks[1].newLine);
    EXPECT_TRUE(toks[2].newLine);
    // A delimiter swallows the white space after it without setting the flag.
    toks = Lex("a,\r\nb");
    EXPECT_EQ(toks[1].text, ",");
    EXPECT_FALSE(toks[2].newLine);
}

TEST(Lexer, OperatorAndWordEndSets) {
    for (char c : std::string("'+-*!|&%^/=;(),><[]"))
        EXPECT_TRUE(IsOperatorChar(c)) << c;
    for (char c : std::string("$@#:. \t\r\n"))
        EXPECT_FALSE(IsOperatorChar(c)) << c;
    for (char c : std::string(" ';,$+-<>/@#*!|&%^=():.[]\t\r\n"))
        EXPECT_TRUE(IsWordEndChar(c)) << c;
    EXPECT_TRUE(IsWordEndChar('\0'));
    // A double quote does not end a word; bytes above 127 are letters.
    ExpectKinds("ab\"c\" \xe9t\xe9", {{tkWord, "ab\"c\""}, {tkWord, "\xe9t\xe9"}});
}

TEST(Lexer, PutBackRereadsTheSameToken) {
    Lexer lx;
    lx.SetText("one\r\n  two three");
    lx.NextToken();
    Token two = lx.NextToken();
    EXPECT_TRUE(two.newLine);
    lx.PutBack(two);
    Token again = lx.NextToken();
    EXPECT_EQ(again.text, "two");
    EXPECT_TRUE(again.newLine);
    EXPECT_EQ(again.start, two.start);
    EXPECT_EQ(lx.NextToken().text, "three");
    EXPECT_EQ(lx.NextToken().kind, tkEnd);
    EXPECT_EQ(lx.NextToken().kind, tkEnd);
}

TEST(Lexer, LinesEndAtCarriageReturnsLineFeedsOrBoth) {
    Lexer lx;
    lx.SetText("a\r\nb\rc\nd  e");
    EXPECT_EQ(lx.LineOf(0), 1);
    EXPECT_EQ(lx.LineOf(3), 2);  // b: CR LF is one line end
    EXPECT_EQ(lx.LineOf(5), 3);  // c
    EXPECT_EQ(lx.LineOf(7), 4);  // d
    EXPECT_EQ(lx.ColumnOf(7), 1);
    EXPECT_EQ(lx.ColumnOf(10), 4);  // e
}

TEST(Lexer, TextEndsAtItsFirstNul) {
    Lexer lx;
    lx.SetText(std::string("a\0b", 3));
    EXPECT_EQ(lx.NextToken().text, "a");
    EXPECT_EQ(lx.NextToken().kind, tkEnd);
}

}  // namespace
}  // namespace tallow
