// The built-in number and string functions of the main object, as tables in
// registration order: entry i is registered under id i + 1.
#pragma once

#include <string>

#include "grammar.h"

namespace tallow {

class Program;

struct NumFunctionEntry {
    const char* name;
    double (*handler)(Program&);
};

struct StringFunctionEntry {
    const char* name;
    std::string (*handler)(Program&);
};

constexpr int kNumFunctionCount = 31;
constexpr int kStringFunctionCount = 18;

extern const NumFunctionEntry kNumFunctions[kNumFunctionCount];
extern const StringFunctionEntry kStringFunctions[kStringFunctionCount];

// The id of parsetok, the one built-in function that changes a variable.
constexpr int kParseTokFunction = 8;

// Whether the built-in number or string function of the main object with
// this id can change no script variable (so a caller may hold a view of a
// variable across it). Procedures (higher ids) and the system partner's
// functions (negative ids) may do anything.
inline bool BuiltInChangesNoVariable(ExprType kind, int id) {
    if (kind == kExprNumber) return id >= 1 && id <= kNumFunctionCount;
    return id >= 1 && id <= kStringFunctionCount && id != kParseTokFunction;
}

}  // namespace tallow
