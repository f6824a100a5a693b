// What a session answers to an entry that is an expression: which entries
// are expressions, the value written as the language writes a literal, and
// the session itself.
#include "core/session_value.h"

#include <gtest/gtest.h>

#include <cmath>

#include "unattended_program_test.h"

namespace tallow {
namespace {

TEST(SessionValueShape, ExpressionsAreToldFromStatements) {
    for (const char* text : {"2 + 2", "x#", "a#[i# + 1]", "name$ + \" \" + 10", "-(3 * 4) ^ 2", "sqroot(2)",
                             "clock.year#", "s.readstring()", "\"text\"", "mbOK@ | 16", "len(\"ab\") * 2\n"})
        EXPECT_TRUE(IsOneExpression(text)) << text;
    for (const char* text : {"x# = 1", "a#[2] = 3", "print \"x\"", "s.connect \"h\", 80", "top:", "' note",
                             "2 +", "f(1) g(2)", "(1 + 2", "x# y#", "\"open", ""})
        EXPECT_FALSE(IsOneExpression(text)) << text;
}

TEST(SessionValueText, NumbersAsShortestLiterals) {
    EXPECT_EQ(NumberText(4), "4");
    EXPECT_EQ(NumberText(-2.5), "-2.5");
    EXPECT_EQ(NumberText(0.1), "0.1");
    EXPECT_EQ(NumberText(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(NumberText(1e20), "100000000000000000000");
    EXPECT_EQ(NumberText(1e21), "1e+21");
    EXPECT_EQ(NumberText(1e-7), "1e-07");
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(INFINITY), "inf");
    EXPECT_EQ(NumberText(-INFINITY), "-inf");
    EXPECT_EQ(NumberText(NAN), "nan");
}

TEST(SessionValueText, StringsAsExpressionsThatGiveThemBack) {
    EXPECT_EQ(QuotedText(""), "\"\"");
    EXPECT_EQ(QuotedText("abc"), "\"abc\"");
    EXPECT_EQ(QuotedText("say \"hi\""), "\"say \" + 34 + \"hi\" + 34");
    EXPECT_EQ(QuotedText("line\r\n"), "\"line\" + 13 + 10");
    EXPECT_EQ(QuotedText("\tx"), "\"\" + 9 + \"x\"");
    EXPECT_EQ(QuotedText("\xE9t\xE9"), "\"\xE9t\xE9\"");  // bytes above 127 stay as they are
}

class SessionValueTest : public UnattendedProgramTest {
protected:
    // Runs text as the next entry of the session: the value, "" when the
    // entry gave none, or "error: " and the message.
    std::string Entry(const std::string& text) {
        session += text;
        size_t start = session.size() - text.size();
        if (!program.Run(session.c_str(), uint32_t(start))) return "error: " + program.LastRunError().message;
        return program.RunValue() ? *program.RunValue() : std::string();
    }
    std::string session;
};

TEST_F(SessionValueTest, AnEntryThatIsAnExpressionGivesItsValue) {
    EXPECT_EQ(Entry("2 + 2\n"), "4");
    EXPECT_EQ(Entry("x# = 40\n"), "");
    EXPECT_EQ(Entry("x# / 16\n"), "2.5");
    EXPECT_EQ(Entry("dim a$[2]\na$[2] = \"two\"\n"), "");
    EXPECT_EQ(Entry("a$[2] + 13 + 10\n"), "\"two\" + 13 + 10");
    EXPECT_EQ(Entry("proc twice# n#\nResult# = 2 * n#\nendproc\n"), "");
    EXPECT_EQ(Entry("twice(x#) + 1\n"), "81");
    EXPECT_EQ(Entry("(1 + 2) * 3\n"), "9");
    EXPECT_EQ(Entry("-(2)\n"), "-2");
}

TEST_F(SessionValueTest, ErrorsOfExpressionEntriesAreTheEvaluatorsOwn) {
    EXPECT_EQ(Entry("y# + 1\n"), "error: unknown variable encountered");
    EXPECT_EQ(program.LastRunError().token, "y#");
    EXPECT_EQ(Entry("\"a\" - 1\n"), "error: syntax error");
    EXPECT_EQ(program.LastRunError().token, "-");
    EXPECT_EQ(Entry("nosuch(1)\n"), "error: unknown function encountered");
}

TEST_F(SessionValueTest, OutsideASessionAValueIsNoStatement) {
    program.keepState = false;
    EXPECT_FALSE(program.Run("2 + 2\n"));
    EXPECT_EQ(program.LastRunError().message, "function or statement expected");
    EXPECT_FALSE(program.RunValue());
}

}  // namespace
}  // namespace tallow
