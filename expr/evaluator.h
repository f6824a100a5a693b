// The three expression grammars (numeric, string, condition), the type peek
// and the parameter protocol. They evaluate as they parse, straight from the
// program's current lexer position.
#pragma once

#include <string>
#include <string_view>

#include "lexer.h"

namespace tallow {

class Program;

enum ExprType { kExprUnknown = 0, kExprNumber = 6, kExprString = 7 };

class Evaluator {
public:
    explicit Evaluator(Program& program) : program_(program) {}

    double EvalNum();
    std::string EvalString();
    int EvalCondition();
    ExprType PeekExprType();

    // Parameter protocol: is there a first parameter on this line, is there
    // a further one after a comma. With required set, a missing one raises
    // "required parameter missing".
    bool HasFirstParam(bool required);
    bool HasNextParam(bool required);
    // One bare word, else "statement expected".
    std::string ReadName();

    // When the string expression here is one existing string variable and
    // the program says the call being made cannot change variables, reads it
    // and gives a view of the variable's text (valid until the call returns)
    // instead of a copy; false, reading nothing, otherwise.
    bool StringVariableHere(std::string_view& out);

    // The compiled form of what starts at the lexer's position, compiling it
    // on first use; null when it must be evaluated from the text.
    struct NumCode* CachedNum();
    struct StrCode* CachedStr();
    struct CondCode* CachedCond();

private:
    double SlowNum();
    std::string SlowString();
    int SlowCondition();

    double Level1(Token& cur);
    double Level2(Token& cur);
    double Level3(Token& cur);
    double Level4(Token& cur);
    double Level5(Token& cur);
    double Level6(Token& cur);
    double Primary(Token& cur);
    double NumberVariable(Token& cur);
    double MemberNumber(Token& cur);
    void AppendElement(const Token& token, std::string& out);
    void RequireClosingParenthesis();

    Program& program_;
};

// Applies a relational operator ("=", "<>", "<", ">", "<=", ">="); strings
// compare as unsigned bytes, a prefix sorting first, and NaN is unequal to
// every number. valid is false for any other operator text.
template <class T>
int Relate(const T& a, const T& b, std::string_view op, bool& valid) {
    valid = true;
    if (op == "=") return a == b;
    if (op == "<>") return a != b;
    if (op == "<") return a < b;
    if (op == ">") return a > b;
    if (op == "<=") return a <= b;
    if (op == ">=") return a >= b;
    valid = false;
    return 0;
}

// What is remembered about the place the lexer stands at, or null when the
// token there cannot even be read (the text then reports the error itself).
struct PlaceNotes* NotesHere(Program& p);

// Text-to-number conversions of literals, the same on both targets:
// decimal only, the longest valid prefix, 0 when there is none.
double TextToDouble(std::string_view text);
int TextToInt(std::string_view text);

}  // namespace tallow
