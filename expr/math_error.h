// The math-error filter of the built-in functions: checked calls of the math
// library that record errors in the engine's flag and message, and the filter
// that turns a recorded error into "Math error: ..." for the script.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace tallow {

class Program;

enum class MathErrorKind {
    kNone,
    kDomain,
    kSingularity,
    kOverflow,
    kUnderflow,
    kTotalLoss,
    kPartialLoss,
    kUnknown
};

// The message text of a kind ("Argument domain", ...); "" for kNone.
const char* MathErrorText(MathErrorKind kind);

// Decides what a library call did from the errno value and the floating-point
// exception flags (FE_*) it raised, its result and its arguments, so that both
// targets agree whatever their libraries signal:
// - domain: EDOM, the invalid flag, or a NaN from arguments that hold none;
// - singularity: the divide-by-zero flag;
// - overflow: the overflow flag, or an infinity from finite arguments;
// - underflow: an underflow signal (flag or ERANGE) with a result of exactly
//   zero. A subnormal result is an accurate IEEE value, not an error, and the
//   libraries disagree about flagging it.
MathErrorKind ClassifyMathCall(int errnoValue, int raisedFlags, double result,
                               std::initializer_list<double> args);

// The engine's math-error state (one per thread, like the library's errno).
void ClearMathError();
// The error hook: sets the flag and stores the message of kind.
void SetMathError(MathErrorKind kind);
bool MathErrorPending();
// The stored message of the pending error; "" when the flag is clear.
const char* PendingMathErrorText();

// Library calls with errno and the exception flags cleared just before and
// read just after; an error sets the math-error state.
double CheckedCall(double (*f)(double), double x);
double CheckedCall(double (*f)(double, double), double x, double y);
// The power and remainder operators of numeric expressions. A zero base with
// a negative exponent is a singularity on every target.
double CheckedPow(double base, double exponent);
double CheckedFmodOutOfLine(double x, double y);

// Whole numbers of 32 bits by a positive divisor, the common case, are
// divided here without a call: the integer remainder has fmod's sign, and a
// zero keeps the dividend's. Everything else goes out of line.
inline double CheckedFmod(double x, double y) {
    if (x > -2147483648.0 && x < 2147483648.0 && y >= 1 && y < 2147483648.0) {
        int32_t a = int32_t(x), b = int32_t(y);
        if (double(a) == x && double(b) == y) {
            int32_t r = a % b;
            return r == 0 ? std::copysign(0.0, x) : double(r);
        }
    }
    return CheckedFmodOutOfLine(x, y);
}

// The filter: when the flag is set it is cleared and "Math error: " plus the
// stored message is reported as a run-time error (kind 1, so the call does
// not return); otherwise value is returned.
double FilterMathResult(Program& p, double value);

}  // namespace tallow
