// The operators of the language, each defined once: the binary operators of
// numeric expressions with their precedence and associativity, and the
// relational operators of conditions. The evaluator, the expression compiler
// and the compiled code all apply operators through these functions.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "math_error.h"

namespace tallow {

// Truncates toward zero to a signed 32-bit value. NaN and values outside the
// range give INT32_MIN, as the x86 conversion instruction does on both targets.
inline int32_t ToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
    return int32_t(value);
}

enum class BinaryOp : uint8_t { Add, Sub, Mul, Div, Or, And, Xor, Mod, Pow };
constexpr int kBinaryOpCount = 9;

struct BinaryOperator {
    char symbol;
    BinaryOp op;
    uint8_t level;  // 1 binds loosest
    bool rightAssociative;
};

// Precedence from loosest to tightest: the bitwise operators bind tighter
// than multiplication. A unary sign binds tighter than all of them.
constexpr BinaryOperator kBinaryOperators[kBinaryOpCount] = {
    {'+', BinaryOp::Add, 1, false}, {'-', BinaryOp::Sub, 1, false}, {'*', BinaryOp::Mul, 2, false},
    {'/', BinaryOp::Div, 2, false}, {'|', BinaryOp::Or, 3, false},  {'&', BinaryOp::And, 3, false},
    {'!', BinaryOp::Xor, 3, false}, {'%', BinaryOp::Mod, 4, false}, {'^', BinaryOp::Pow, 5, true},
};

namespace detail {
constexpr std::array<int8_t, 256> MakeOperatorIndex() {
    std::array<int8_t, 256> index{};
    for (auto& i : index)
        i = -1;
    for (int i = 0; i < kBinaryOpCount; ++i)
        index[uint8_t(kBinaryOperators[i].symbol)] = int8_t(i);
    return index;
}
constexpr std::array<int8_t, 256> kOperatorIndex = MakeOperatorIndex();
constexpr bool TableInOrder() {
    for (int i = 0; i < kBinaryOpCount; ++i)
        if (int(kBinaryOperators[i].op) != i) return false;
    return true;
}
}  // namespace detail
static_assert(detail::TableInOrder(), "kBinaryOperators must list BinaryOp in order");

// The binary operator that a token whose text starts with lead stands for
// (operators are recognised by the first character of any token), or null.
inline const BinaryOperator* BinaryOperatorOf(char lead) {
    int8_t i = detail::kOperatorIndex[uint8_t(lead)];
    return i < 0 ? nullptr : &kBinaryOperators[i];
}

// "^": an exponent of +0 or -0 gives exactly 1; otherwise the library power,
// whose errors are recorded for the math-error filter of the functions.
inline double Power(double base, double exponent) {
    return exponent == 0 ? 1.0 : CheckedPow(base, exponent);
}

// The one definition of every binary operator. Division by zero is not
// trapped; the bitwise operators work on 32-bit integers.
[[gnu::always_inline]] inline double Apply(BinaryOp op, double a, double b) {
    switch (op) {
        case BinaryOp::Add:
            return a + b;
        case BinaryOp::Sub:
            return a - b;
        case BinaryOp::Mul:
            return a * b;
        case BinaryOp::Div:
            return a / b;
        case BinaryOp::Or:
            return double(ToInt32(a) | ToInt32(b));
        case BinaryOp::And:
            return double(ToInt32(a) & ToInt32(b));
        case BinaryOp::Xor:
            return double(ToInt32(a) ^ ToInt32(b));
        case BinaryOp::Mod:
            return CheckedFmod(a, b);
        case BinaryOp::Pow:
            return Power(a, b);
    }
    return 0;
}

enum class RelOp : uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

struct RelationalOperator {
    std::string_view text;
    RelOp op;
};

constexpr RelationalOperator kRelationalOperators[] = {
    {"=", RelOp::Eq}, {"<>", RelOp::Ne}, {"<", RelOp::Lt},
    {">", RelOp::Gt}, {"<=", RelOp::Le}, {">=", RelOp::Ge},
};

// The operator written as text; false for anything else ("==", "=<").
inline bool RelationalOperatorOf(std::string_view text, RelOp& op) {
    for (const RelationalOperator& r : kRelationalOperators)
        if (r.text == text) {
            op = r.op;
            return true;
        }
    return false;
}

// The one definition of the comparisons: numbers as doubles (NaN is unequal
// to everything), strings byte by byte as unsigned characters, a prefix
// sorting first (std::string's compare does exactly that).
template <class T>
[[gnu::always_inline]] inline int Compare(RelOp op, const T& a, const T& b) {
    switch (op) {
        case RelOp::Eq:
            return a == b;
        case RelOp::Ne:
            return a != b;
        case RelOp::Lt:
            return a < b;
        case RelOp::Gt:
            return a > b;
        case RelOp::Le:
            return a <= b;
        case RelOp::Ge:
            return a >= b;
    }
    return 0;
}

}  // namespace tallow
