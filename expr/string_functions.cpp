// The text built-in functions (asc, val, len, pos and the string functions
// mid to oct) and the algorithms behind them.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/function_helpers.h"
#include "platform/text_case.h"

namespace tallow {

namespace {

constexpr char kWhiteSpace[] = " \t\n\v\f\r";
// Characters fixed notation may need besides the decimals: a sign, the 309
// integer digits of the largest double and the point.
constexpr int64_t kMaxFixedDigits = 311;
// A negative precision means the default one, as in "%.*f".
constexpr int kDefaultPrecision = 6;

// The text up to its first NUL, as a C string sees it.
std::string_view AsCString(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

std::string FormatInteger(const char* format, int32_t value) {
    char buffer[16];
    int n = std::snprintf(buffer, sizeof buffer, format, unsigned(uint32_t(value)));
    return std::string(buffer, size_t(n > 0 ? n : 0));
}

std::string Repeated(Program& p, char c, double n) {
    size_t count = RepeatCount(n);
    if (count > kMaxBuiltString) p.ReportError(kRuntimeKind, msg::kStringTooLong);
    return std::string(count, c);
}

// A string function of one string: name "(" strexpr ")"
std::string MapString(Program& p, std::string (*f)(const std::string&)) {
    return f(FirstString(p));
}

}  // namespace

// ---- Algorithms -----------------------------------------------------------------------

bool FormatFixed(double x, int width, int decimals, std::string& out) {
    int64_t precision = decimals < 0 ? kDefaultPrecision : decimals;
    int64_t fieldWidth = width < 0 ? -int64_t(width) : int64_t(width);
    if (fieldWidth > int64_t(kMaxBuiltString) || precision + kMaxFixedDigits > int64_t(kMaxBuiltString))
        return false;
    std::string body;
    bool finite = std::isfinite(x);
    if (std::isnan(x)) {
        body = "nan";
    } else if (!finite) {
        body = x < 0 ? "-inf" : "inf";
    } else {
        body.resize(size_t(precision + kMaxFixedDigits + 1));
        auto [end, ec] = std::to_chars(body.data(), body.data() + body.size(), x, std::chars_format::fixed,
                                       int(precision));
        if (ec != std::errc()) return false;
        body.resize(size_t(end - body.data()));
    }
    size_t pad = size_t(fieldWidth) > body.size() ? size_t(fieldWidth) - body.size() : 0;
    if (width < 0) {
        body.append(pad, ' ');  // a negative width justifies to the left
    } else if (finite) {
        body.insert(body[0] == '-' ? 1 : 0, pad, '0');  // zeros go after the sign
    } else {
        body.insert(0, pad, ' ');  // "%0f" pads nan and inf with blanks
    }
    out = std::move(body);
    return true;
}

std::string FormatHex(int32_t value) {
    return FormatInteger("%x", value);
}
std::string FormatOctal(int32_t value) {
    return FormatInteger("%o", value);
}

std::string MidText(std::string_view s, int32_t start, int32_t count) {
    int64_t first = start < 1 ? 0 : int64_t(start) - 1;
    if (count <= 0 || first >= int64_t(s.size())) return std::string();
    return std::string(s.substr(size_t(first), size_t(count)));
}

std::string LeftText(std::string_view s, int32_t n) {
    return n <= 0 ? std::string() : std::string(s.substr(0, size_t(n)));
}

std::string RightText(std::string_view s, int32_t n) {
    if (n <= 0) return std::string();
    return std::string(size_t(n) >= s.size() ? s : s.substr(s.size() - size_t(n)));
}

std::string TrimLeft(const std::string& s) {
    size_t i = s.find_first_not_of(kWhiteSpace);
    return i == std::string::npos ? std::string() : s.substr(i);
}

std::string TrimRight(const std::string& s) {
    size_t i = s.find_last_not_of(kWhiteSpace);
    return i == std::string::npos ? std::string() : s.substr(0, i + 1);
}

int FindPosition(const std::string& s, const std::string& find) {
    size_t i = s.find(find);
    return i == std::string::npos ? 0 : int(i + 1);
}

int SignedFirstChar(std::string_view s) {
    return s.empty() ? 0 : int(static_cast<signed char>(s[0]));
}

double TextValue(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && std::string_view(kWhiteSpace).find(s[i]) != std::string_view::npos)
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // Only a digit or a point starts a decimal number ("inf", "nan" and hex
    // forms are not numbers here).
    if (i >= s.size() || !((s[i] >= '0' && s[i] <= '9') || s[i] == '.')) return 0;
    double value = TextToDouble(s.substr(i));
    return negative ? -value : value;
}

size_t RepeatCount(double n) {
    if (!(n > 0)) return 0;
    if (n > double(kMaxBuiltString)) return kMaxBuiltString + 1;
    return size_t(std::ceil(n));
}

std::string TakeToken(std::string& value, std::string_view delims) {
    std::string_view text = AsCString(value);
    delims = AsCString(delims);
    size_t begin = text.find_first_not_of(delims);
    if (begin == std::string_view::npos) {
        value.clear();
        return std::string();
    }
    size_t end = text.find_first_of(delims, begin);
    std::string token(
        text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
    value = end == std::string_view::npos ? std::string() : std::string(text.substr(end + 1));
    return token;
}

// ---- Number functions of text -----------------------------------------------------------

double FnAsc(Program& p) {
    std::string scratch;
    return SignedFirstChar(FirstStringView(p, scratch));
}
double FnVal(Program& p) {
    return TextValue(FirstString(p));
}
double FnLen(Program& p) {
    std::string scratch;
    return double(FirstStringView(p, scratch).size());
}

// pos = "pos(" strexpr "," strexpr ")"
double FnPos(Program& p) {
    std::string s = FirstString(p);
    return FindPosition(s, NextString(p));
}

// ---- String functions ----------------------------------------------------------------------

// mid = "mid(" strexpr "," numexpr ["," numexpr] ")"
std::string FnMid(Program& p) {
    std::string scratch;
    std::string_view s = FirstStringView(p, scratch);
    int32_t start = ToInt32(NextNumber(p));
    int32_t count = INT32_MAX;
    if (p.Eval().HasNextParam(false)) count = ToInt32(p.Eval().EvalNum());
    return MidText(s, start, count);
}

std::string FnUCase(Program& p) {
    std::string s = FirstString(p);
    platform::UpperCaseText(s);
    return s;
}

std::string FnLCase(Program& p) {
    std::string s = FirstString(p);
    platform::LowerCaseText(s);
    return s;
}

// left = "left(" strexpr "," numexpr ")"
std::string FnLeft(Program& p) {
    std::string scratch;
    std::string_view s = FirstStringView(p, scratch);
    return LeftText(s, ToInt32(NextNumber(p)));
}

std::string FnRight(Program& p) {
    std::string scratch;
    std::string_view s = FirstStringView(p, scratch);
    return RightText(s, ToInt32(NextNumber(p)));
}

std::string FnLTrim(Program& p) {
    return MapString(p, TrimLeft);
}
std::string FnRTrim(Program& p) {
    return MapString(p, TrimRight);
}

// parsetok = "parsetok(" word "," strexpr ")"
std::string FnParseTok(Program& p) {
    std::string name = FirstName(p);
    std::string delims = NextString(p);
    MainObject& main = p.Main();
    std::string value = main.GetStringMember(name);
    std::string token = TakeToken(value, delims);
    main.SetStringMember(name, std::move(value));
    return token;
}

// space = "space(" numexpr ")"
std::string FnSpace(Program& p) {
    return Repeated(p, ' ', FirstNumber(p));
}

// string = "string(" strexpr "," numexpr ")". An empty text (or one that a
// NUL begins) has no character to repeat and gives "".
std::string FnString(Program& p) {
    std::string s = FirstString(p);
    double n = NextNumber(p);
    if (s.empty() || s[0] == '\0') return std::string();
    return Repeated(p, s[0], n);
}

// chr = "chr(" numexpr ")"
std::string FnChr(Program& p) {
    return std::string(1, char(ToInt32(FirstNumber(p)) & 0xFF));
}

// str = "str(" numexpr ["," numexpr ["," numexpr]] ")"
std::string FnStr(Program& p) {
    Evaluator& ev = p.Eval();
    double x = FirstNumber(p);
    int width = 1, decimals = 0;
    if (ev.HasNextParam(false)) {
        width = ToInt32(ev.EvalNum());
        if (ev.HasNextParam(false)) decimals = ToInt32(ev.EvalNum());
    }
    std::string text;
    if (!FormatFixed(x, width, decimals, text)) p.ReportError(kRuntimeKind, msg::kStringTooLong);
    return text;
}

std::string FnHex(Program& p) {
    return FormatHex(ToInt32(FirstNumber(p)));
}
std::string FnOct(Program& p) {
    return FormatOctal(ToInt32(FirstNumber(p)));
}

}  // namespace tallow
