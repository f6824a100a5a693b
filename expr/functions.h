// The built-in number and string functions of the main object: the number
// and string function lists of its member table.
#pragma once

#include <string>

#include "grammar.h"
#include "member_table.h"

namespace tallow {

constexpr int kNumFunctionCount = 31;
constexpr int kStringFunctionCount = 18;

extern const NumFunctionMember kNumFunctions[kNumFunctionCount];
extern const StringFunctionMember kStringFunctions[kStringFunctionCount];

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
