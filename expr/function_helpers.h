// Shared pieces of the built-in functions: the parameter readers, the text and
// number algorithms behind them (pure, so the unit tests reach them), and the
// handlers that the tables of functions.cpp name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tallow {

class Program;
class RandomGenerator;

// The longest text that space, string and str build: far beyond what scripts
// use, and small enough that a 32-bit process never fails to allocate it.
constexpr size_t kMaxBuiltString = size_t(1) << 24;
// The longest line getstring reads at once.
constexpr size_t kMaxConsoleLine = 1023;

// ---- Parameter readers -------------------------------------------------------------
// Each reads one required parameter: the first of the call, or the next one
// after a comma. A missing one raises "required parameter missing".
double FirstNumber(Program& p);
std::string FirstString(Program& p);
// The first parameter as text: a view of a string variable where the call
// allows it (see Evaluator::StringVariableHere), else scratch holding it.
std::string_view FirstStringView(Program& p, std::string& scratch);
std::string FirstName(Program& p);
double NextNumber(Program& p);
std::string NextString(Program& p);

// ---- Algorithms --------------------------------------------------------------------

// x as the format "%0*.*f" writes it: at least width characters, zero-padded
// after the sign (blank-padded on the right for a negative width), decimals
// digits after the point. The digits come from the same correctly rounding
// conversion on both targets, and NaN is always "nan". False, and out
// untouched, when width or decimals would make the text longer than
// kMaxBuiltString.
bool FormatFixed(double x, int width, int decimals, std::string& out);
// The 32-bit two's complement of value in lower-case hexadecimal / octal.
std::string FormatHex(int32_t value);
std::string FormatOctal(int32_t value);

// mid: from the 1-based start (clamped to the first character) to the end,
// or at most count characters of that; a negative count gives "".
std::string MidText(std::string_view s, int32_t start, int32_t count);
std::string LeftText(std::string_view s, int32_t n);
std::string RightText(std::string_view s, int32_t n);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
// The 1-based position of find in s, 0 if absent, 1 for an empty find.
int FindPosition(const std::string& s, const std::string& find);
// The first byte as a signed 8-bit value; 0 for "".
int SignedFirstChar(std::string_view s);
// val: leading white space skipped, then an optionally signed decimal
// number, its longest valid prefix; 0 when there is none.
double TextValue(std::string_view s);

// How many times space and string repeat: the loop runs while the count is
// below n, so a fraction counts as the next whole number and n <= 0 (or NaN)
// gives 0. More than kMaxBuiltString gives kMaxBuiltString + 1.
size_t RepeatCount(double n);

// The parsetok function: skips leading delimiters of value, takes the token
// up to the next delimiter, consumes that one delimiter and leaves the rest in
// value. Both texts end at an embedded NUL, as C strings do.
std::string TakeToken(std::string& value, std::string_view delims);

// rnd: the generator's next value modulo n, with the sign rule of the integer
// remainder; 0 when n is 0.
int RandomBelow(RandomGenerator& generator, int32_t n);

// ---- Handlers ----------------------------------------------------------------------

// math_functions.cpp
double FnAbs(Program& p);
double FnArcCos(Program& p);
double FnArcSin(Program& p);
double FnArcTan(Program& p);
double FnCos(Program& p);
double FnHyperCos(Program& p);
double FnSin(Program& p);
double FnHyperSin(Program& p);
double FnTan(Program& p);
double FnHyperTan(Program& p);
double FnExp(Program& p);
double FnHypot(Program& p);
double FnLog(Program& p);
double FnLog10(Program& p);
double FnSqRoot(Program& p);
double FnCeiling(Program& p);
double FnFloor(Program& p);
double FnAverage(Program& p);
double FnRnd(Program& p);

// string_functions.cpp
double FnAsc(Program& p);
double FnVal(Program& p);
double FnLen(Program& p);
double FnPos(Program& p);
std::string FnMid(Program& p);
std::string FnUCase(Program& p);
std::string FnLCase(Program& p);
std::string FnLeft(Program& p);
std::string FnRight(Program& p);
std::string FnLTrim(Program& p);
std::string FnRTrim(Program& p);
std::string FnParseTok(Program& p);
std::string FnSpace(Program& p);
std::string FnString(Program& p);
std::string FnChr(Program& p);
std::string FnStr(Program& p);
std::string FnHex(Program& p);
std::string FnOct(Program& p);

// query_functions.cpp
double FnExists(Program& p);
double FnFileSize(Program& p);
double FnArraySize(Program& p);
double FnIsStringVar(Program& p);
double FnIsNumberVar(Program& p);
double FnIsStringArray(Program& p);
double FnIsNumberArray(Program& p);
double FnIsObject(Program& p);
std::string FnDir(Program& p);
std::string FnCwd(Program& p);

// console_functions.cpp
std::string FnGetChar(Program& p);
std::string FnGetString(Program& p);

}  // namespace tallow
