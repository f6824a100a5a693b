// Math-error detection around library calls, the engine's flag and message,
// and the filter that reports them.
#include "math_error.h"

#include <cerrno>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/messages.h"
#include "core/program.h"

namespace tallow {

namespace {

// The exception flags that can signal an error; inexact never does.
constexpr int kErrorFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW;

struct MathErrorState {
    bool flag = false;
    MathErrorKind kind = MathErrorKind::kNone;
};

thread_local MathErrorState gState;

struct KindText {
    MathErrorKind kind;
    const char* text;
};

constexpr KindText kKindTexts[] = {
    {MathErrorKind::kDomain, msg::kMathDomain},       {MathErrorKind::kSingularity, msg::kMathSingularity},
    {MathErrorKind::kOverflow, msg::kMathOverflow},   {MathErrorKind::kUnderflow, msg::kMathUnderflow},
    {MathErrorKind::kTotalLoss, msg::kMathTotalLoss}, {MathErrorKind::kPartialLoss, msg::kMathPartialLoss},
    {MathErrorKind::kUnknown, msg::kMathUnknown},
};

void BeginCall() {
    errno = 0;
    std::feclearexcept(FE_ALL_EXCEPT);
}

// Reads what the call signalled and records an error. The result arrives
// through a volatile store, so an x87 result is rounded to double (raising
// its overflow) before the flags are read.
void EndCall(volatile double& result, std::initializer_list<double> args, MathErrorKind forced) {
    int err = errno;
    int flags = std::fetestexcept(kErrorFlags);
    MathErrorKind kind = forced != MathErrorKind::kNone ? forced : ClassifyMathCall(err, flags, result, args);
    if (kind != MathErrorKind::kNone) SetMathError(kind);
    std::feclearexcept(FE_ALL_EXCEPT);
}

}  // namespace

const char* MathErrorText(MathErrorKind kind) {
    for (const KindText& entry : kKindTexts)
        if (entry.kind == kind) return entry.text;
    return "";
}

MathErrorKind ClassifyMathCall(int errnoValue, int raisedFlags, double result,
                               std::initializer_list<double> args) {
    bool argNaN = false, argsFinite = true;
    for (double a : args) {
        argNaN = argNaN || std::isnan(a);
        argsFinite = argsFinite && std::isfinite(a);
    }
    if (errnoValue == EDOM || (raisedFlags & FE_INVALID) || (std::isnan(result) && !argNaN))
        return MathErrorKind::kDomain;
    if (raisedFlags & FE_DIVBYZERO) return MathErrorKind::kSingularity;
    if ((raisedFlags & FE_OVERFLOW) || (std::isinf(result) && argsFinite)) return MathErrorKind::kOverflow;
    bool underflowSignal = (raisedFlags & FE_UNDERFLOW) || errnoValue == ERANGE;
    if (underflowSignal && result == 0) return MathErrorKind::kUnderflow;
    return MathErrorKind::kNone;
}

void ClearMathError() {
    gState = MathErrorState{};
}

void SetMathError(MathErrorKind kind) {
    gState.flag = true;
    gState.kind = kind;
}

bool MathErrorPending() {
    return gState.flag;
}

const char* PendingMathErrorText() {
    return gState.flag ? MathErrorText(gState.kind) : "";
}

double CheckedCall(double (*f)(double), double x) {
    BeginCall();
    volatile double result = f(x);
    EndCall(result, {x}, MathErrorKind::kNone);
    return result;
}

double CheckedCall(double (*f)(double, double), double x, double y) {
    BeginCall();
    volatile double result = f(x, y);
    EndCall(result, {x, y}, MathErrorKind::kNone);
    return result;
}

// The operators run in every expression, so they decide from the values
// alone, which for these two functions says exactly what the flags would:
// a NaN from numbers is a domain error, an infinity from finite numbers an
// overflow, and (for "^") zero from a finite non-zero base an underflow.
double CheckedPow(double base, double exponent) {
    volatile double stored = std::pow(base, exponent);
    double result = stored;
    if (std::isfinite(result) && result != 0) return result;
    if (base == 0 && exponent < 0) {
        SetMathError(MathErrorKind::kSingularity);
    } else if (std::isnan(result)) {
        if (!std::isnan(base) && !std::isnan(exponent)) SetMathError(MathErrorKind::kDomain);
    } else if (std::isfinite(base) && std::isfinite(exponent)) {
        if (std::isinf(result))
            SetMathError(MathErrorKind::kOverflow);
        else if (base != 0)
            SetMathError(MathErrorKind::kUnderflow);
    }
    return result;
}

double CheckedFmodOutOfLine(double x, double y) {
    // Whole numbers below 2^53 are exact in both forms, and the integer
    // remainder has the sign of the dividend as fmod's has; only a zero
    // result needs the dividend's sign restored.
    constexpr double kExact = 9007199254740992.0;
    if (x > -kExact && x < kExact && y > -kExact && y < kExact && y != 0) {
        int64_t a = int64_t(x), b = int64_t(y);
        if (double(a) == x && double(b) == y) {
            int64_t r = a % b;
            return r == 0 ? std::copysign(0.0, x) : double(r);
        }
    }
    double result = std::fmod(x, y);
    if (std::isnan(result) && !std::isnan(x) && !std::isnan(y)) SetMathError(MathErrorKind::kDomain);
    return result;
}

double FilterMathResult(Program& p, double value) {
    if (!gState.flag) return value;
    std::string message = std::string(msg::kMathErrorPrefix) + PendingMathErrorText();
    ClearMathError();
    p.ReportError(kRuntimeKind, message);
}

}  // namespace tallow
