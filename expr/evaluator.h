// The entry points of the three expression grammars (numeric, string,
// condition), the type peek and the parameter protocol. Expressions are
// evaluated as they are read from the program's current lexer position; with
// the program's fast paths on, a place read before runs from its compiled
// form instead, with the same results, errors and lexer states.
#pragma once

#include <string>
#include <string_view>

#include "grammar.h"
#include "lexer.h"

namespace tallow {

class Program;
struct PlaceNotes;
struct NumCode;
struct StrCode;
struct CondCode;

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
    // The relational operator after a condition's left side, read as a
    // condition reads it (op holds the text); judged by the caller after the
    // right side (RelationalOperatorOf).
    std::string_view OperatorText(char (&op)[3]);

    // The first parameter of a built-in string function as a view: of the
    // string variable that the parameter names, when nothing the rest of the
    // call reads can change a variable (so the view stays valid until the
    // function returns), else of scratch holding the evaluated text.
    std::string_view FirstStringView(std::string& scratch);

    // The compiled form of what starts at the lexer's position, compiling it
    // on the second visit of the place; null when it must be read as text
    // (the first visit, fast paths off, or text that does not compile).
    // settled, when given, tells whether the answer is final for the place
    // under the present names (it is not on a first visit).
    NumCode* CachedNum(bool* settled = nullptr);
    StrCode* CachedStr(bool* settled = nullptr);
    CondCode* CachedCond(bool* settled = nullptr);

    // Reading the text itself, never a compiled form.
    double PlainNum();
    std::string PlainString();
    int PlainCondition();

private:
    Program& program_;
};

// What is remembered about the place the lexer stands at, or null (fast
// paths off, a first visit, or a token there that cannot be read).
PlaceNotes* NotesHere(Program& p);

}  // namespace tallow
