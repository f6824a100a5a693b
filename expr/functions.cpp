// The built-in number and string functions of the main object.
#include "functions.h"

#include <cstdio>
#include <string>

#include "core/messages.h"
#include "core/program.h"

namespace tallow {

namespace {

double NotYet(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownNumFunction); }
std::string NotYetString(Program& p) { p.ReportError(kSyntaxKind, msg::kUnknownStringFunction); }

double StringOneNumber(Program& p, double (*f)(const std::string&)) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    return f(ev.EvalString());
}

double Len(Program& p) {
    return StringOneNumber(p, [](const std::string& s) { return double(s.size()); });
}

std::string Chr(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    return std::string(1, char(ToInt32(ev.EvalNum()) & 0xFF));
}

std::string Str(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    double x = ev.EvalNum();
    int width = 1, decimals = 0;
    if (ev.HasNextParam(false)) {
        width = ToInt32(ev.EvalNum());
        if (ev.HasNextParam(false)) decimals = ToInt32(ev.EvalNum());
    }
    int n = std::snprintf(nullptr, 0, "%0*.*f", width, decimals, x);
    if (n < 0) return std::string();
    std::string out(size_t(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), "%0*.*f", width, decimals, x);
    out.resize(size_t(n));
    return out;
}

}  // namespace

const NumFunctionEntry kNumFunctions[kNumFunctionCount] = {
    {"abs", NotYet},          {"arccos", NotYet},      {"arcsin", NotYet},       {"arctan", NotYet},
    {"cos", NotYet},          {"hypercos", NotYet},    {"sin", NotYet},          {"hypersin", NotYet},
    {"tan", NotYet},          {"hypertan", NotYet},    {"exp", NotYet},          {"hypot", NotYet},
    {"log", NotYet},          {"log10", NotYet},       {"sqroot", NotYet},       {"ceiling", NotYet},
    {"floor", NotYet},        {"average", NotYet},     {"asc", NotYet},          {"val", NotYet},
    {"len", Len},             {"pos", NotYet},         {"rnd", NotYet},          {"exists", NotYet},
    {"filesize", NotYet},     {"arraysize", NotYet},   {"isstringvar", NotYet},  {"isnumbervar", NotYet},
    {"isstringarray", NotYet}, {"isnumberarray", NotYet}, {"isobject", NotYet},
};

const StringFunctionEntry kStringFunctions[kStringFunctionCount] = {
    {"mid", NotYetString},   {"ucase", NotYetString}, {"lcase", NotYetString},     {"left", NotYetString},
    {"right", NotYetString}, {"ltrim", NotYetString}, {"rtrim", NotYetString},     {"parsetok", NotYetString},
    {"space", NotYetString}, {"string", NotYetString}, {"chr", Chr},               {"str", Str},
    {"hex", NotYetString},   {"oct", NotYetString},   {"dir", NotYetString},       {"getchar", NotYetString},
    {"getstring", NotYetString}, {"cwd", NotYetString},
};

}  // namespace tallow
