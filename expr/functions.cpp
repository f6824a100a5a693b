// The tables of the main object's built-in number and string functions, in
// registration order, and the parameter readers their handlers share.
#include "functions.h"

#include "core/program.h"
#include "expr/function_helpers.h"

namespace tallow {

double FirstNumber(Program& p) {
    p.Eval().HasFirstParam(true);
    return p.Eval().EvalNum();
}

std::string FirstString(Program& p) {
    p.Eval().HasFirstParam(true);
    return p.Eval().EvalString();
}

std::string_view FirstStringView(Program& p, std::string& scratch) {
    p.Eval().HasFirstParam(true);
    return p.Eval().FirstStringView(scratch);
}

std::string FirstName(Program& p) {
    p.Eval().HasFirstParam(true);
    return p.Eval().ReadName();
}

double NextNumber(Program& p) {
    p.Eval().HasNextParam(true);
    return p.Eval().EvalNum();
}

std::string NextString(Program& p) {
    p.Eval().HasNextParam(true);
    return p.Eval().EvalString();
}

constexpr NumFunctionEntry kNumFunctions[kNumFunctionCount] = {
    {"abs", FnAbs},
    {"arccos", FnArcCos},
    {"arcsin", FnArcSin},
    {"arctan", FnArcTan},
    {"cos", FnCos},
    {"hypercos", FnHyperCos},
    {"sin", FnSin},
    {"hypersin", FnHyperSin},
    {"tan", FnTan},
    {"hypertan", FnHyperTan},
    {"exp", FnExp},
    {"hypot", FnHypot},
    {"log", FnLog},
    {"log10", FnLog10},
    {"sqroot", FnSqRoot},
    {"ceiling", FnCeiling},
    {"floor", FnFloor},
    {"average", FnAverage},
    {"asc", FnAsc},
    {"val", FnVal},
    {"len", FnLen},
    {"pos", FnPos},
    {"rnd", FnRnd},
    {"exists", FnExists},
    {"filesize", FnFileSize},
    {"arraysize", FnArraySize},
    {"isstringvar", FnIsStringVar},
    {"isnumbervar", FnIsNumberVar},
    {"isstringarray", FnIsStringArray},
    {"isnumberarray", FnIsNumberArray},
    {"isobject", FnIsObject},
};

constexpr StringFunctionEntry kStringFunctions[kStringFunctionCount] = {
    {"mid", FnMid},
    {"ucase", FnUCase},
    {"lcase", FnLCase},
    {"left", FnLeft},
    {"right", FnRight},
    {"ltrim", FnLTrim},
    {"rtrim", FnRTrim},
    {"parsetok", FnParseTok},
    {"space", FnSpace},
    {"string", FnString},
    {"chr", FnChr},
    {"str", FnStr},
    {"hex", FnHex},
    {"oct", FnOct},
    {"dir", FnDir},
    {"getchar", FnGetChar},
    {"getstring", FnGetString},
    {"cwd", FnCwd},
};
static_assert(std::string_view(kStringFunctions[kParseTokFunction - 1].name) == "parsetok");

}  // namespace tallow
