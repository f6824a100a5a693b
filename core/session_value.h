// What an interactive session answers to an entry that is an expression: the
// test that tells such an entry from a statement, and the value written as
// the language writes a literal.
#pragma once

#include <string>
#include <string_view>

namespace tallow {

// True when entry, as a whole, has the shape of one expression and so is no
// statement: operands (a number, a string, a constant, a variable or array
// element, a member, a call, a parenthesis) joined by operators, each with at
// most one sign. Only the shape is read; names are not looked up and nothing
// is evaluated, so the evaluator still decides what the entry means.
bool IsOneExpression(std::string_view entry);

// A number as the shortest text that reads back as the same number: no
// point for whole numbers, no exponent from 1e-6 to 1e21 ("nan", "inf" and
// "-inf" as str() writes them).
std::string NumberText(double value);

// A string as a string expression that gives it back: the printable bytes in
// double quotes, a double quote and every control byte as its character
// code joined with + ("a" + 34 + "b", "line" + 13 + 10).
std::string QuotedText(std::string_view value);

}  // namespace tallow
