// The expression grammars, the type peek and the parameter protocol, driven
// directly on a program's lexer.
#include "expr/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/main_object.h"
#include "core/program.h"
#include "platform/message_box.h"

namespace tallow {
namespace {

class EvaluatorTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetUnattended(true); }

    // Puts text in the lexer, as a run would, without running it.
    Evaluator& On(const std::string& text) {
        program.UseText(text);
        return program.Eval();
    }
    std::string Next() { return std::string(program.Lex().NextToken().text); }
    std::string ErrMsg() { return program.Main().strMembers.Get("ErrMsg"); }
    int ErrLine() { return int(program.Main().numMembers.Get("ErrLine")); }

    // The message of the error text raises when evaluated as a number.
    std::string NumError(const std::string& text) {
        try {
            On(text).EvalNum();
        } catch (const ScriptError&) {
            return ErrMsg();
        }
        return "no error";
    }

    Program program;
};

TEST_F(EvaluatorTest, NumericPrecedenceAndAssociativity) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        {"2 + 3 * 4", 14},   {"2 * 3 + 4", 10}, {"7 & 3 * 2", 6},  {"2 * 6 | 1", 14},  {"10 - 7 % 4", 7},
        {"2 ^ 3 ^ 2", 512},  {"0 ^ 0", 1},      {"-3 ^ 2", 9},     {"2 ^ -1", 0.5},    {"5.9 | 0", 5},
        {"-1.5 & 255", 255}, {"10 - 2 - 3", 5}, {"64 / 4 / 2", 8}, {"(1 + 2) * 3", 9}, {"-7 % 4", -3},
        {"6 ! 3", 5},        {"1.5e3", 1500},   {"12abc", 12},     {"1e", 1},          {"+4", 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(On(c.text).EvalNum(), c.value) << c.text;
}

TEST_F(EvaluatorTest, DivisionByZeroIsIeee) {
    EXPECT_TRUE(std::isinf(On("1 / 0").EvalNum()));
    EXPECT_TRUE(std::isnan(On("0 / 0").EvalNum()));
}

TEST_F(EvaluatorTest, IntegerOperatorsTruncateTowardZero) {
    EXPECT_EQ(On("-7.9 | 0").EvalNum(), -7);
    // Outside the 32-bit range the conversion gives the x86 "indefinite" value.
    EXPECT_EQ(On("4294967296 | 0").EvalNum(), double(INT32_MIN));
    EXPECT_EQ(ToInt32(std::nan("")), INT32_MIN);
    EXPECT_EQ(ToInt32(-2147483648.5), INT32_MIN);
    EXPECT_EQ(ToInt32(2147483647.9), INT32_MAX);
}

TEST_F(EvaluatorTest, TheEndingTokenIsPutBack) {
    Evaluator& ev = On("1 + 2, next");
    EXPECT_EQ(ev.EvalNum(), 3);
    EXPECT_EQ(Next(), ",");
    EXPECT_EQ(Next(), "next");
    // A token that is no primary is left in place and counts as 0.
    Evaluator& ev2 = On("3 * print");
    EXPECT_EQ(ev2.EvalNum(), 0);
    EXPECT_EQ(Next(), "print");
}

TEST_F(EvaluatorTest, NumericErrors) {
    EXPECT_EQ(NumError("\"text\""), "numerical expression expected");
    EXPECT_EQ(NumError(""), "numerical expression expected");
    EXPECT_EQ(NumError("(1 + 2"), "unbalanced parenthesis");
    EXPECT_EQ(program.stopRequested, 1);
    program.stopRequested = 0;
    EXPECT_EQ(NumError("y# + 1"), "unknown variable encountered");
    EXPECT_EQ(NumError("nope@"), "unknown variable encountered");
    EXPECT_EQ(NumError("nofunc(1)"), "unknown number function encountered");
    EXPECT_EQ(NumError("q#[1]"), "unknown number array encountered");
    EXPECT_EQ(NumError("obj.x#"), "unknown object encountered");
}

TEST_F(EvaluatorTest, StringElements) {
    EXPECT_EQ(On("\"a\" + 65 + \"b\"").EvalString(), "aAb");
    EXPECT_EQ(On("34 + \"q\" + 34").EvalString(), "\"q\"");
    EXPECT_EQ(On("\"x\" + 13 + 10").EvalString(), "x\r\n");
    program.Main().strMembers.Set("s", "var");
    EXPECT_EQ(On("s$ + \"!\"").EvalString(), "var!");
    try {
        On("\"a\" + n#").EvalString();
        FAIL();
    } catch (const ScriptError&) {
        EXPECT_EQ(ErrMsg(), "Unknown string element: 4");
    }
}

TEST_F(EvaluatorTest, TypePeekPutsEverythingBack) {
    struct Case {
        const char* text;
        ExprType type;
    } cases[] = {
        {"a$", kExprString},    {"\"x\"", kExprString}, {"a#", kExprNumber},   {"c@", kExprNumber},
        {"5", kExprNumber},     {"-5", kExprNumber},    {"-a#", kExprNumber},  {"-(1)", kExprUnknown},
        {"(1)", kExprUnknown},  {"len(", kExprNumber},  {"chr(", kExprString}, {"zz(", kExprUnknown},
        {"word", kExprUnknown}, {"o.x$", kExprString},  {"o.x#", kExprNumber}, {"o.f(", kExprUnknown},
    };
    for (const Case& c : cases) {
        Evaluator& ev = On(c.text);
        EXPECT_EQ(ev.PeekExprType(), c.type) << c.text;
        EXPECT_EQ(program.Lex().Position(), 0u) << c.text;
    }
}

TEST_F(EvaluatorTest, Conditions) {
    struct Case {
        const char* text;
        int result;
    } cases[] = {
        {"1 < 2", 1},         {"2 <= 2", 1},           {"3 > 4", 0},         {"3 >= 4", 0},
        {"1 = 1", 1},         {"1 <> 1", 0},           {"\"B\" < \"b\"", 1}, {"\"ab\" < \"abc\"", 1},
        {"\"a\" = \"A\"", 0}, {"\"\xe9\" > \"z\"", 1}, {"\"x\" = \"=\"", 0}, {"\"<\" = \"<\"", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(On(c.text).EvalCondition(), c.result) << c.text;
    for (const char* bad : {"1 =< 2", "1 == 1", "1 >< 2", "1 = = 2", "\"a\" =< \"b\""}) {
        try {
            On(bad).EvalCondition();
            ADD_FAILURE() << bad;
        } catch (const ScriptError&) {
            EXPECT_EQ(ErrMsg(), "conditional operator (=, <>, <, >, <=, or >=) expected") << bad;
        }
    }
    try {
        On("(1) = 1").EvalCondition();
        FAIL();
    } catch (const ScriptError&) {
        EXPECT_EQ(ErrMsg(), "cannot evaluate expression");
    }
}

TEST_F(EvaluatorTest, ParameterProtocol) {
    Evaluator& ev = On("\"a\", 2 )");
    EXPECT_TRUE(ev.HasFirstParam(true));
    EXPECT_EQ(ev.EvalString(), "a");
    EXPECT_TRUE(ev.HasNextParam(true));
    EXPECT_EQ(ev.EvalNum(), 2);
    EXPECT_FALSE(ev.HasNextParam(false));
    // Before a closing parenthesis there is no first parameter, and the
    // parenthesis stays.
    EXPECT_FALSE(ev.HasFirstParam(false));
    EXPECT_EQ(Next(), ")");
    // A token on the next line is no parameter; after a comma at the end of
    // a line it is.
    EXPECT_FALSE(On("\r\nx# = 1").HasFirstParam(false));
    Evaluator& cont = On("1,\r\n2");
    EXPECT_EQ(cont.EvalNum(), 1);
    EXPECT_TRUE(cont.HasNextParam(true));
    EXPECT_TRUE(cont.HasFirstParam(true));
    EXPECT_FALSE(On("").HasFirstParam(false));
    try {
        On("\r\nnext").HasFirstParam(true);
        FAIL();
    } catch (const ScriptError&) {
        EXPECT_EQ(ErrMsg(), "required parameter missing");
    }
}

TEST_F(EvaluatorTest, ReadNameTakesOnlyBareWords) {
    EXPECT_EQ(On("files rest").ReadName(), "files");
    for (const char* bad : {"a$", "\"x\"", "5", ""}) {
        try {
            On(bad).ReadName();
            ADD_FAILURE() << bad;
        } catch (const ScriptError&) {
            EXPECT_EQ(ErrMsg(), "statement expected") << bad;
        }
    }
}

TEST_F(EvaluatorTest, ErrorLinePointsAtTheFailingToken) {
    // Consumed token: its own line, after blank lines and comments.
    try {
        On("1 +\r\n\r\n ' note\r\n  )").EvalNum();
    } catch (const ScriptError&) {
    }
    // The ")" ends the expression without error; the put back leaves it.
    EXPECT_EQ(Next(), ")");
    try {
        On("x# +\r\n\r\n   y#").EvalNum();
        FAIL();
    } catch (const ScriptError&) {
        EXPECT_EQ(ErrMsg(), "unknown variable encountered");
        EXPECT_EQ(ErrLine(), 1);
    }
    program.Main().numMembers.Set("x", 1);
    try {
        On("x# +\r\n\r\n   y# + 1").EvalNum();
        FAIL();
    } catch (const ScriptError&) {
        EXPECT_EQ(ErrLine(), 3);
    }
    // Line feeds end lines as carriage returns do, alone or together.
    for (const char* text : {"x# +\n\n y# + 1", "x# +\r\r y# + 1", "x# +\r\n\n y# + 1"}) {
        try {
            On(text).EvalNum();
            FAIL();
        } catch (const ScriptError&) {
            EXPECT_EQ(ErrLine(), 3) << text;
        }
    }
}

TEST(TextConversion, DecimalPrefixOnly) {
    EXPECT_EQ(TextToDouble("0x10"), 0);
    EXPECT_EQ(TextToDouble("1.25e2x"), 125);
    EXPECT_EQ(TextToDouble("1e400"), HUGE_VAL);
    EXPECT_EQ(TextToDouble("1e-400"), 0);
    EXPECT_EQ(TextToDouble("7."), 7);
    EXPECT_EQ(TextToInt("65abc"), 65);
    EXPECT_EQ(TextToInt("1.9"), 1);
    EXPECT_EQ(TextToInt("99999999999"), INT32_MAX);
    EXPECT_EQ(TextToInt(""), 0);
}

}  // namespace
}  // namespace tallow
