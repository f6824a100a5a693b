// The tables of the main object's built-in number and string functions, in
// registration order, and the parameter readers their handlers share.
#include "functions.h"

#include "core/program.h"
#include "expr/function_helpers.h"
#include "expr/script_object.h"

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

constexpr NumFunctionMember kNumFunctions[kNumFunctionCount] = {
    {"abs", 1, Call<FnAbs>},
    {"arccos", 2, Call<FnArcCos>},
    {"arcsin", 3, Call<FnArcSin>},
    {"arctan", 4, Call<FnArcTan>},
    {"cos", 5, Call<FnCos>},
    {"hypercos", 6, Call<FnHyperCos>},
    {"sin", 7, Call<FnSin>},
    {"hypersin", 8, Call<FnHyperSin>},
    {"tan", 9, Call<FnTan>},
    {"hypertan", 10, Call<FnHyperTan>},
    {"exp", 11, Call<FnExp>},
    {"hypot", 12, Call<FnHypot>},
    {"log", 13, Call<FnLog>},
    {"log10", 14, Call<FnLog10>},
    {"sqroot", 15, Call<FnSqRoot>},
    {"ceiling", 16, Call<FnCeiling>},
    {"floor", 17, Call<FnFloor>},
    {"average", 18, Call<FnAverage>},
    {"asc", 19, Call<FnAsc>},
    {"val", 20, Call<FnVal>},
    {"len", 21, Call<FnLen>},
    {"pos", 22, Call<FnPos>},
    {"rnd", 23, Call<FnRnd>},
    {"exists", 24, Call<FnExists>},
    {"filesize", 25, Call<FnFileSize>},
    {"arraysize", 26, Call<FnArraySize>},
    {"isstringvar", 27, Call<FnIsStringVar>},
    {"isnumbervar", 28, Call<FnIsNumberVar>},
    {"isstringarray", 29, Call<FnIsStringArray>},
    {"isnumberarray", 30, Call<FnIsNumberArray>},
    {"isobject", 31, Call<FnIsObject>},
};

constexpr StringFunctionMember kStringFunctions[kStringFunctionCount] = {
    {"mid", 1, Call<FnMid>},
    {"ucase", 2, Call<FnUCase>},
    {"lcase", 3, Call<FnLCase>},
    {"left", 4, Call<FnLeft>},
    {"right", 5, Call<FnRight>},
    {"ltrim", 6, Call<FnLTrim>},
    {"rtrim", 7, Call<FnRTrim>},
    {"parsetok", 8, Call<FnParseTok>},
    {"space", 9, Call<FnSpace>},
    {"string", 10, Call<FnString>},
    {"chr", 11, Call<FnChr>},
    {"str", 12, Call<FnStr>},
    {"hex", 13, Call<FnHex>},
    {"oct", 14, Call<FnOct>},
    {"dir", 15, Call<FnDir>},
    {"getchar", 16, Call<FnGetChar>},
    {"getstring", 17, Call<FnGetString>},
    {"cwd", 18, Call<FnCwd>},
};
static_assert(IdsInOrder(std::span<const NumFunctionMember>(kNumFunctions)));
static_assert(IdsInOrder(std::span<const StringFunctionMember>(kStringFunctions)));
static_assert(std::string_view(kStringFunctions[kParseTokFunction - 1].name) == "parsetok");

}  // namespace tallow
