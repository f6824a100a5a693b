// The "stringarray" type and its algorithms: sort, replaceall, parsetok and
// getvalue.
#include "string_array.h"

#include "array_sort.h"
#include "core/main_object.h"
#include "core/program.h"
#include "expr/operators.h"
#include "expr/value_limits.h"

namespace tallow {

namespace {

inline unsigned char FoldForSort(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Equal bytes need no folding, and most bytes the sort compares are equal.
int CompareForSort(const std::string& a, const std::string& b, bool caseSensitive) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = uint8_t(a[i]), y = uint8_t(b[i]);
        if (x == y) continue;
        if (!caseSensitive) x = FoldForSort(x), y = FoldForSort(y);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

constexpr auto kStatements =
    Join(kArrayStatements<std::string>, std::array<StatementMember, 2>{{
                                            {"parsetok", 8, Call<&StringArrayObject::ParseTok>},
                                            {"sort", 9, Call<&StringArrayObject::Sort>},
                                        }});
constexpr auto kNumFunctions =
    Join(kArrayNumFunctions<std::string>, std::array<NumFunctionMember, 1>{{
                                              {"replaceall", 2, Call<&StringArrayObject::ReplaceAllMember>},
                                          }});
constexpr StringFunctionMember kStringFunctions[] = {
    {"getvalue", 1, Call<&StringArrayObject::GetValue>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

}  // namespace

void SortStrings(std::vector<std::string>& items, int options) {
    bool caseSensitive = options & kSortCaseSensitive;
    int sign = (options & kSortReverse) ? -1 : 1;
    SortElements(items.data(), items.size(),
                 [caseSensitive, sign](const std::string& a, const std::string& b) {
                     return sign * CompareForSort(a, b, caseSensitive) < 0;
                 });
}

std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement) {
    if (find.empty()) return text;
    std::string result;
    size_t from = 0;
    for (size_t at; (at = text.find(find, from)) != std::string::npos; from = at + find.size()) {
        CheckGrowth(result.size(), at - from + replacement.size(), kMaxStringLength);
        result.append(text, from, at - from).append(replacement);
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::vector<std::string> SplitTokens(const std::string& text, const std::string& delims) {
    std::vector<std::string> pieces;
    size_t i = 0;
    for (;;) {
        i = text.find_first_not_of(delims, i);
        if (i == std::string::npos) break;
        size_t end = text.find_first_of(delims, i);
        pieces.push_back(text.substr(i, end == std::string::npos ? std::string::npos : end - i));
        if (end == std::string::npos) break;
        i = end;
    }
    return pieces;
}

std::string LookUpValue(const std::vector<std::string>& items, const std::string& key) {
    std::string wanted = FoldName(key);
    for (const std::string& item : items) {
        size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        if (FoldName(std::string_view(item).substr(0, eq)) == wanted) return item.substr(eq + 1);
    }
    return std::string();
}

StringArrayObject::StringArrayObject(Program& program, std::string name)
    : ArrayObject(program, std::move(name)) {
    AddMembers(kMembers);
    program.Main().constants.Set("soCaseSensitive", kSortCaseSensitive);
    program.Main().constants.Set("soReverseOrder", kSortReverse);
}

// parsetok = "parsetok" strexpr "," strexpr
void StringArrayObject::ParseTok() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string text = ev.EvalString();
    ev.HasNextParam(true);
    std::vector<std::string> pieces = SplitTokens(text, ev.EvalString());
    CheckRoom(pieces.size());
    for (std::string& piece : pieces)
        items.push_back(std::move(piece));
}

// sort = "sort" [numexpr]
void StringArrayObject::Sort() {
    Evaluator& ev = program_.Eval();
    int options = ev.HasFirstParam(false) ? ToInt32(ev.EvalNum()) : 0;
    SortStrings(items, options);
}

// replaceall = "replaceall(" strexpr "," strexpr ")": the number of elements.
double StringArrayObject::ReplaceAllMember() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    std::string find = ev.EvalString();
    ev.HasNextParam(true);
    std::string replacement = ev.EvalString();
    for (std::string& item : items) {
        std::string replaced = ReplaceAll(item, find, replacement);
        if (replaced.size() > item.size()) program_.ChargeMemory(replaced.size() - item.size());
        item = std::move(replaced);
    }
    return double(items.size());
}

// getvalue = "getvalue(" strexpr ")"
std::string StringArrayObject::GetValue() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    return LookUpValue(items, ev.EvalString());
}

size_t StringArrayObject::MemoryInUse() const {
    size_t bytes = ScriptObject::MemoryInUse() + items.capacity() * sizeof(std::string);
    for (const std::string& item : items)
        if (item.capacity() > 15) bytes += item.capacity() + 1;
    if (bytes > kMaxArrayBytes) throw std::length_error("array too large");
    return bytes;
}

ScriptObject* StringArrayFactory::Create(const std::string& name) {
    return new StringArrayObject(program_, name);
}

}  // namespace tallow
