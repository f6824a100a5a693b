// The mathematical built-in functions (ids 1 to 18) and rnd. Ids 1 to 17 pass
// their result through the math-error filter.
#include <cmath>

#include "core/program.h"
#include "expr/function_helpers.h"
#include "expr/math_error.h"
#include "expr/random_generator.h"

namespace tallow {

namespace {

using Unary = double (*)(double);

// A function the processor computes directly: the IEEE result, never an
// error of its own. The filter still reports an error that an operator in
// the argument recorded.
double Direct(Program& p, Unary f) {
    ClearMathError();
    double x = FirstNumber(p);
    return FilterMathResult(p, f(x));
}

// A library function whose errors the filter reports.
double Checked(Program& p, Unary f) {
    ClearMathError();
    double x = FirstNumber(p);
    return FilterMathResult(p, CheckedCall(f, x));
}

}  // namespace

// abs = "abs(" numexpr ")", and likewise for every one-argument function.
double FnAbs(Program& p) {
    return Direct(p, [](double x) { return std::fabs(x); });
}
double FnArcCos(Program& p) {
    return Checked(p, [](double x) { return std::acos(x); });
}
double FnArcSin(Program& p) {
    return Checked(p, [](double x) { return std::asin(x); });
}
double FnArcTan(Program& p) {
    return Direct(p, [](double x) { return std::atan(x); });
}
double FnCos(Program& p) {
    return Direct(p, [](double x) { return std::cos(x); });
}
double FnHyperCos(Program& p) {
    return Checked(p, [](double x) { return std::cosh(x); });
}
double FnSin(Program& p) {
    return Direct(p, [](double x) { return std::sin(x); });
}
double FnHyperSin(Program& p) {
    return Checked(p, [](double x) { return std::sinh(x); });
}
double FnTan(Program& p) {
    return Direct(p, [](double x) { return std::tan(x); });
}
double FnHyperTan(Program& p) {
    return Checked(p, [](double x) { return std::tanh(x); });
}
double FnExp(Program& p) {
    return Direct(p, [](double x) { return std::exp(x); });
}
double FnLog(Program& p) {
    return Direct(p, [](double x) { return std::log(x); });
}
double FnLog10(Program& p) {
    return Direct(p, [](double x) { return std::log10(x); });
}
double FnSqRoot(Program& p) {
    return Direct(p, [](double x) { return std::sqrt(x); });
}
double FnCeiling(Program& p) {
    return Checked(p, [](double x) { return std::ceil(x); });
}
double FnFloor(Program& p) {
    return Checked(p, [](double x) { return std::floor(x); });
}

// hypot = "hypot(" numexpr "," numexpr ")". The flag is cleared before the
// arguments too, so an error left over from an earlier expression is never
// reported here.
double FnHypot(Program& p) {
    ClearMathError();
    double x = FirstNumber(p);
    double y = NextNumber(p);
    return FilterMathResult(p, CheckedCall([](double a, double b) { return std::hypot(a, b); }, x, y));
}

// average = "average(" numexpr "," numexpr {"," numexpr} ")"
double FnAverage(Program& p) {
    double sum = FirstNumber(p);
    sum += NextNumber(p);
    double count = 2;
    while (p.Eval().HasNextParam(false)) {
        sum += p.Eval().EvalNum();
        ++count;
    }
    return sum / count;
}

// rnd = "rnd(" numexpr ")"
double FnRnd(Program& p) {
    return RandomBelow(p.randomGenerator, ToInt32(FirstNumber(p)));
}

int RandomBelow(RandomGenerator& generator, int32_t n) {
    if (n == 0) return 0;
    return generator.Next() % n;
}

}  // namespace tallow
