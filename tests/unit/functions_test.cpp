// The algorithms behind the built-in functions: number formatting, text
// slicing, val, the repeat count, parsetok in both forms, the random
// generator, and math-error detection on each target's own math library.
#include <gtest/gtest.h>

#include <cerrno>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "expr/function_helpers.h"
#include "expr/math_error.h"
#include "expr/random_generator.h"
#include "expr/string_array.h"

namespace tallow {
namespace {

std::string Fixed(double x, int width, int decimals) {
    std::string out = "untouched";
    EXPECT_TRUE(FormatFixed(x, width, decimals, out)) << x << " " << width << " " << decimals;
    return out;
}

TEST(FormatFixed, WidthDecimalsAndRounding) {
    EXPECT_EQ(Fixed(3.14159, 1, 2), "3.14");
    EXPECT_EQ(Fixed(5, 3, 0), "005");
    EXPECT_EQ(Fixed(12, 1, 0), "12");
    EXPECT_EQ(Fixed(2.5, 6, 2), "002.50");
    EXPECT_EQ(Fixed(-2.5, 6, 2), "-02.50");  // zeros go after the sign
    EXPECT_EQ(Fixed(-7, 1, 0), "-7");
    EXPECT_EQ(Fixed(-0.0, 1, 0), "-0");
    EXPECT_EQ(Fixed(-1e-5, 1, 3), "-0.000");
    // Exact binary ties round to even; other values to the nearest.
    EXPECT_EQ(Fixed(2.5, 1, 0), "2");
    EXPECT_EQ(Fixed(3.5, 1, 0), "4");
    EXPECT_EQ(Fixed(0.125, 1, 2), "0.12");
    EXPECT_EQ(Fixed(2.675, 1, 2), "2.67");  // 2.67499999... in binary
    EXPECT_EQ(Fixed(0.1, 1, 20), "0.10000000000000000555");
    EXPECT_EQ(Fixed(123456789012345678.0, 1, 0), "123456789012345680");
}

TEST(FormatFixed, SpecialValuesAndOddParameters) {
    EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN(), 5, 0), "  nan");
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::quiet_NaN(), 1, 2), "nan");
    EXPECT_EQ(Fixed(HUGE_VAL, 6, 0), "   inf");
    EXPECT_EQ(Fixed(-HUGE_VAL, 1, 2), "-inf");
    EXPECT_EQ(Fixed(2.5, -5, 1), "2.5  ");     // negative width: left-justified
    EXPECT_EQ(Fixed(2.5, 1, -1), "2.500000");  // negative decimals: the default six
    EXPECT_EQ(Fixed(DBL_MAX, 1, 0).size(), 309u);
    EXPECT_EQ(Fixed(-DBL_MAX, 1, 3).size(), 314u);
    EXPECT_EQ(Fixed(5e-324, 1, 400).substr(0, 6), "0.0000");
}

TEST(FormatFixed, SizeLimit) {
    const int limit = int(kMaxBuiltString);
    std::string out = "untouched";
    ASSERT_TRUE(FormatFixed(1, limit, 0, out));
    EXPECT_EQ(out.size(), kMaxBuiltString);
    EXPECT_EQ(out.substr(out.size() - 3), "001");
    ASSERT_TRUE(FormatFixed(1, -limit, 0, out));
    EXPECT_EQ(out.size(), kMaxBuiltString);
    out = "untouched";
    EXPECT_FALSE(FormatFixed(1, limit + 1, 0, out));
    EXPECT_FALSE(FormatFixed(1, -limit - 1, 0, out));
    EXPECT_FALSE(FormatFixed(1, INT32_MIN, 0, out));
    EXPECT_FALSE(FormatFixed(1, 1, limit, out));
    EXPECT_FALSE(FormatFixed(1, 1, INT32_MAX, out));
    EXPECT_EQ(out, "untouched");
    ASSERT_TRUE(FormatFixed(1, 1, limit - 311, out));
    EXPECT_EQ(out.size(), size_t(limit - 311 + 2));
}

TEST(FormatInteger, HexAndOctalOfTwosComplement) {
    EXPECT_EQ(FormatHex(255), "ff");
    EXPECT_EQ(FormatHex(-1), "ffffffff");
    EXPECT_EQ(FormatHex(0), "0");
    EXPECT_EQ(FormatHex(INT32_MIN), "80000000");
    EXPECT_EQ(FormatOctal(8), "10");
    EXPECT_EQ(FormatOctal(-1), "37777777777");
}

TEST(TextSlices, MidLeftRightClamp) {
    EXPECT_EQ(MidText("abcdef", 2, 3), "bcd");
    EXPECT_EQ(MidText("abcdef", 0, INT32_MAX), "abcdef");
    EXPECT_EQ(MidText("abcdef", -5, 2), "ab");
    EXPECT_EQ(MidText("abcdef", 10, INT32_MAX), "");
    EXPECT_EQ(MidText("abcdef", 7, 1), "");
    EXPECT_EQ(MidText("abcdef", 6, 100), "f");
    EXPECT_EQ(MidText("abcdef", 2, 0), "");
    EXPECT_EQ(MidText("abcdef", 2, -1), "");
    EXPECT_EQ(MidText("abcdef", INT32_MIN, 1), "a");
    EXPECT_EQ(LeftText("abc", 5), "abc");
    EXPECT_EQ(LeftText("abc", 0), "");
    EXPECT_EQ(LeftText("abc", -1), "");
    EXPECT_EQ(RightText("abc", 2), "bc");
    EXPECT_EQ(RightText("abc", 3), "abc");
    EXPECT_EQ(RightText("abc", INT32_MAX), "abc");
    EXPECT_EQ(RightText("abc", -2), "");
}

TEST(TextSlices, TrimFindAndFirstChar) {
    EXPECT_EQ(TrimLeft(" \t\n\v\f\rx y \t"), "x y \t");
    EXPECT_EQ(TrimRight(" x y \t\n\v\f\r"), " x y");
    EXPECT_EQ(TrimLeft(" \t "), "");
    EXPECT_EQ(TrimRight(""), "");
    EXPECT_EQ(FindPosition("abc", "x"), 0);
    EXPECT_EQ(FindPosition("abcabc", "ca"), 3);
    EXPECT_EQ(FindPosition("abc", ""), 1);
    EXPECT_EQ(FindPosition("", ""), 1);
    EXPECT_EQ(FindPosition("abc", "ABC"), 0);
    EXPECT_EQ(SignedFirstChar("A"), 65);
    EXPECT_EQ(SignedFirstChar(std::string(1, char(200))), -56);
    EXPECT_EQ(SignedFirstChar(std::string(1, char(255))), -1);
    EXPECT_EQ(SignedFirstChar(""), 0);
}

TEST(TextValue, DecimalPrefixOnly) {
    EXPECT_EQ(TextValue("  12abc"), 12);
    EXPECT_EQ(TextValue("\t\n 7"), 7);
    EXPECT_EQ(TextValue("+5"), 5);
    EXPECT_EQ(TextValue("-2.5e3x"), -2500);
    EXPECT_EQ(TextValue(".5"), 0.5);
    EXPECT_EQ(TextValue("-.5"), -0.5);
    EXPECT_EQ(TextValue("5."), 5);
    EXPECT_EQ(TextValue("1e"), 1);
    EXPECT_EQ(TextValue("abc"), 0);
    EXPECT_EQ(TextValue(""), 0);
    EXPECT_EQ(TextValue("-"), 0);
    EXPECT_EQ(TextValue("inf"), 0);
    EXPECT_EQ(TextValue("nan"), 0);
    EXPECT_EQ(TextValue("0x1A"), 0);
    EXPECT_EQ(TextValue("- 5"), 0);
    EXPECT_TRUE(std::isinf(TextValue("1e400")));
}

TEST(RepeatCount, FractionsCountUp) {
    EXPECT_EQ(RepeatCount(0), 0u);
    EXPECT_EQ(RepeatCount(-1), 0u);
    EXPECT_EQ(RepeatCount(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(RepeatCount(0.1), 1u);
    EXPECT_EQ(RepeatCount(2.5), 3u);
    EXPECT_EQ(RepeatCount(3), 3u);
    EXPECT_EQ(RepeatCount(double(kMaxBuiltString)), kMaxBuiltString);
    EXPECT_EQ(RepeatCount(double(kMaxBuiltString) + 0.5), kMaxBuiltString + 1);
    EXPECT_EQ(RepeatCount(1e300), kMaxBuiltString + 1);
    EXPECT_EQ(RepeatCount(HUGE_VAL), kMaxBuiltString + 1);
}

// The function form: one token per call, the rest left in the variable.
TEST(ParseTok, FunctionWalksADelimitedList) {
    std::string value = "a,b";
    EXPECT_EQ(TakeToken(value, ","), "a");
    EXPECT_EQ(value, "b");
    EXPECT_EQ(TakeToken(value, ","), "b");
    EXPECT_EQ(value, "");
    EXPECT_EQ(TakeToken(value, ","), "");
    EXPECT_EQ(value, "");

    value = ",,one;;two,";
    EXPECT_EQ(TakeToken(value, ",;"), "one");
    EXPECT_EQ(value, ";two,");  // only one delimiter is consumed
    EXPECT_EQ(TakeToken(value, ",;"), "two");
    EXPECT_EQ(value, "");

    value = ",,,";
    EXPECT_EQ(TakeToken(value, ","), "");
    EXPECT_EQ(value, "");

    value = "whole text";
    EXPECT_EQ(TakeToken(value, ""), "whole text");
    EXPECT_EQ(value, "");
}

TEST(ParseTok, FunctionStopsAtNul) {
    std::string value = std::string("a b\0c d", 7);
    EXPECT_EQ(TakeToken(value, " "), "a");
    EXPECT_EQ(value, "b");
    value = "a:b";
    EXPECT_EQ(TakeToken(value, std::string(":\0a", 3)), "a");  // "a" is no delimiter
}

// The member form: every piece at once, no empty pieces.
TEST(ParseTok, MemberSplitsIntoPieces) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitTokens(",a,,b,", ","), (V{"a", "b"}));
    EXPECT_EQ(SplitTokens("a b\tc", " \t"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitTokens("", ","), V{});
    EXPECT_EQ(SplitTokens(",,,", ","), V{});
    EXPECT_EQ(SplitTokens("abc", ","), V{"abc"});
}

TEST(Random, ClassicSequenceAndRemainder) {
    RandomGenerator g(1);
    EXPECT_EQ(g.Next(), 41);
    EXPECT_EQ(g.Next(), 18467);
    EXPECT_EQ(g.Next(), 6334);
    EXPECT_EQ(g.Next(), 26500);
    RandomGenerator a(12345), b(12345);
    for (int i = 0; i < 1000; ++i) {
        int v = a.Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        EXPECT_EQ(RandomBelow(b, 10), v % 10);
    }
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(RandomBelow(a, 1), 0);
        EXPECT_EQ(RandomBelow(a, 0), 0);
        int negative = RandomBelow(a, -5);
        EXPECT_GE(negative, 0);
        EXPECT_LT(negative, 5);
        EXPECT_GE(RandomBelow(a, INT32_MIN), 0);
    }
}

// ---- Math errors ------------------------------------------------------------------

TEST(MathError, ClassificationRules) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = HUGE_VAL;
    EXPECT_EQ(ClassifyMathCall(EDOM, 0, nan, {2}), MathErrorKind::kDomain);
    EXPECT_EQ(ClassifyMathCall(0, FE_INVALID, nan, {2}), MathErrorKind::kDomain);
    EXPECT_EQ(ClassifyMathCall(0, 0, nan, {2}), MathErrorKind::kDomain);  // a silent library
    EXPECT_EQ(ClassifyMathCall(0, 0, nan, {nan}), MathErrorKind::kNone);  // NaN in, NaN out
    EXPECT_EQ(ClassifyMathCall(ERANGE, FE_DIVBYZERO, inf, {0}), MathErrorKind::kSingularity);
    EXPECT_EQ(ClassifyMathCall(ERANGE, FE_OVERFLOW | FE_INEXACT, inf, {1000}), MathErrorKind::kOverflow);
    EXPECT_EQ(ClassifyMathCall(0, FE_OVERFLOW, inf, {1000}), MathErrorKind::kOverflow);
    EXPECT_EQ(ClassifyMathCall(0, 0, -inf, {-1000}), MathErrorKind::kOverflow);
    EXPECT_EQ(ClassifyMathCall(0, 0, inf, {inf}), MathErrorKind::kNone);  // infinity in, infinity out
    EXPECT_EQ(ClassifyMathCall(ERANGE, FE_UNDERFLOW, 0, {-1000}), MathErrorKind::kUnderflow);
    EXPECT_EQ(ClassifyMathCall(0, FE_UNDERFLOW, 0, {10, -400}), MathErrorKind::kUnderflow);
    EXPECT_EQ(ClassifyMathCall(0, FE_UNDERFLOW, 1e-310, {1e-310}), MathErrorKind::kNone);
    EXPECT_EQ(ClassifyMathCall(ERANGE, FE_UNDERFLOW, 1e-310, {1e-310}), MathErrorKind::kNone);
    EXPECT_EQ(ClassifyMathCall(0, FE_INEXACT, 0.5, {1}), MathErrorKind::kNone);
    EXPECT_EQ(ClassifyMathCall(0, 0, 0, {0}), MathErrorKind::kNone);
}

// Passes x through a volatile, so the compiler cannot fold the library calls.
double Opaque(double x) {
    static volatile double store;
    store = x;
    return store;
}

TEST(MathError, LibraryCallsAgreeOnBothTargets) {
    const double subnormal = 1e-310;
    auto text = [](auto call) {
        ClearMathError();
        call();
        std::string t = MathErrorPending() ? PendingMathErrorText() : std::string();
        ClearMathError();
        return t;
    };
    auto unary = [&](double (*f)(double), double x) { return text([&] { CheckedCall(f, Opaque(x)); }); };
    auto binary = [&](double (*f)(double, double), double x, double y) {
        return text([&] { CheckedCall(f, Opaque(x), y); });
    };
    EXPECT_EQ(unary([](double x) { return std::acos(x); }, 2), "Argument domain");
    EXPECT_EQ(unary([](double x) { return std::asin(x); }, -2), "Argument domain");
    EXPECT_EQ(unary([](double x) { return std::acos(x); }, std::nan("")), "");
    EXPECT_EQ(unary([](double x) { return std::asin(x); }, subnormal), "");
    EXPECT_EQ(unary([](double x) { return std::cosh(x); }, 1000), "Range overflow");
    EXPECT_EQ(unary([](double x) { return std::sinh(x); }, 1000), "Range overflow");
    EXPECT_EQ(unary([](double x) { return std::sinh(x); }, -1000), "Range overflow");
    EXPECT_EQ(unary([](double x) { return std::cosh(x); }, 710), "");
    EXPECT_EQ(unary([](double x) { return std::sinh(x); }, subnormal), "");
    EXPECT_EQ(unary([](double x) { return std::tanh(x); }, subnormal), "");
    EXPECT_EQ(unary([](double x) { return std::tanh(x); }, 1000), "");
    EXPECT_EQ(unary([](double x) { return std::cosh(x); }, HUGE_VAL), "");
    EXPECT_EQ(unary([](double x) { return std::floor(x); }, -1.5), "");
    EXPECT_EQ(unary([](double x) { return std::ceil(x); }, -1.5), "");
    auto hypot = [](double x, double y) { return std::hypot(x, y); };
    EXPECT_EQ(binary(hypot, 3, 4), "");
    EXPECT_EQ(binary(hypot, 1e308, 1e308), "");
    EXPECT_EQ(binary(hypot, DBL_MAX, DBL_MAX), "Range overflow");
    EXPECT_EQ(binary(hypot, subnormal, subnormal), "");  // flagged on both, but exact enough
    EXPECT_EQ(binary(hypot, HUGE_VAL, std::nan("")), "");
    EXPECT_EQ(text([] { CheckedPow(Opaque(-1), 0.5); }), "Argument domain");
    EXPECT_EQ(text([] { CheckedPow(Opaque(0), -1); }), "Argument singularity");
    EXPECT_EQ(text([] { CheckedPow(Opaque(10), 400); }), "Range overflow");
    EXPECT_EQ(text([] { CheckedPow(Opaque(10), -400); }), "Range underflow");
    EXPECT_EQ(text([] { CheckedPow(Opaque(10), -310); }), "");  // subnormal, not zero
    EXPECT_EQ(text([] { CheckedPow(Opaque(2), 10); }), "");
    EXPECT_EQ(text([] { CheckedFmod(Opaque(1), 0); }), "Argument domain");
    EXPECT_EQ(text([] { CheckedFmod(Opaque(HUGE_VAL), 1); }), "Argument domain");
    EXPECT_EQ(text([] { CheckedFmod(Opaque(-7), 4); }), "");
}

TEST(MathError, ArithmeticBeforeTheCallDoesNotCount) {
    volatile double zero = 0;
    ClearMathError();
    volatile double junk = zero / zero;  // raises the invalid flag, no library call
    (void)junk;
    CheckedCall([](double x) { return std::cosh(x); }, Opaque(1));
    EXPECT_FALSE(MathErrorPending());
}

}  // namespace
}  // namespace tallow
