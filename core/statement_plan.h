// What statement dispatch and the forward scans remember about a place in
// the text (see expr/text_memory.h). A plan never restates what a statement
// does: it holds the lookups the statement's one handler would make (a
// keyword's id, compiled expressions, the token after a condition, where a
// scan ends), and the handler runs with them.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/statements.h"
#include "expr/compiled_expr.h"
#include "expr/lexer.h"
#include "expr/member_table.h"

namespace tallow {

// Where a forward scan that began at a place ended.
struct ScanMemo {
    int kind = 0;         // which scan
    Token last;           // the token at which it stopped
    int depthChange = 0;  // what it did to the block depth it counts
    int outcome = 0;      // how it stopped (scan specific)
};

enum class PlanKind : uint8_t {
    Keyword,     // a keyword statement of the main object
    Next,        // the keyword next
    Endwhile,    // the keyword endwhile
    Endif,       // the keyword endif
    Else,        // the keyword else
    NumAssign,   // name# = numexpr to a global variable
    StrAssign,   // name$ = strexpr to a global variable
    NumElement,  // name#[numexpr] = numexpr to an element of a script array
    StrElement,  // name$[numexpr] = strexpr
    If,          // if condition then
    While,       // while condition
};

struct StatementPlan {
    explicit StatementPlan(PlanKind k) : kind(k) {}
    virtual ~StatementPlan() = default;  // plans are kept and freed as StatementPlan
    PlanKind kind;
    // The statement starts with ENDPROC or EXIT: a procedure body ends here.
    bool endsBody = false;
    // The statements that followed last time, each valid when the next one
    // starts at its at under its generation: its first token and its plan
    // (null for one read from the text). Straight-line code and loops then go
    // from plan to plan without looking places up; two of them let an IF
    // and a loop's end go either way.
    struct Successor {
        uint32_t at = UINT32_MAX;
        uint32_t generation = 0;
        Token token;
        StatementPlan* plan = nullptr;
    };
    Successor next[2];
    uint8_t replaceNext = 0;  // which one a new successor replaces

    Successor* FindNext(uint32_t at, uint32_t generation) {
        for (Successor& s : next)
            if (s.at == at && s.generation == generation) return &s;
        return nullptr;
    }
    // Where the successor at at is noted: its own entry, else the older one.
    Successor& NoteNext(uint32_t at) {
        for (Successor& s : next)
            if (s.at == at) return s;
        Successor& s = next[replaceNext];
        replaceNext ^= 1;
        return s;
    }
};

// A keyword: its id, and its handler when it has one.
struct KeywordPlan : StatementPlan {
    KeywordPlan() : StatementPlan(PlanKind::Keyword) {}
    int id = 0;
    decltype(StatementMember::handler) handler = nullptr;  // called with the main object
};

// Compiled code of an expression at a place, looked up once the answer
// there is settled (it is not on a first visit).
template <class Code>
struct CodeMemo {
    bool known = false;
    Code* code = nullptr;
};

// name = expr to a global variable: the "=" and the right side's code.
struct AssignPlan : StatementPlan {
    explicit AssignPlan(PlanKind k) : StatementPlan(k) {}
    Token equals;
    std::string_view name;
    VarSlot slot;
    bool inPlace = false;   // s$ = s$ + ...: the parts may be appended to s$
    CodeMemo<NumCode> num;  // the right side, compiled, or null
    CodeMemo<StrCode> str;
};

// name[index] = expr: the "[", the index's and the value's code, and the
// array (array.name is the statement's name).
struct ElementPlan : StatementPlan {
    explicit ElementPlan(PlanKind k) : StatementPlan(k) {}
    Token bracket;
    CodeMemo<NumCode> index;
    CodeMemo<NumCode> num;
    CodeMemo<StrCode> str;
    ArraySite array;
};

// if and while: the condition's code, the token after it, and (if) where
// the scan over a false branch ends.
struct ConditionPlan : StatementPlan {
    explicit ConditionPlan(PlanKind k) : StatementPlan(k) {}
    bool codeKnown = false;
    CondCode* cond = nullptr;
    Token after;           // the token after the condition
    int afterKeyword = 0;  // its keyword id
    ScanMemo* scan = nullptr;
};

// else: where its scan to ENDIF ends.
struct ScanPlan : StatementPlan {
    explicit ScanPlan(PlanKind k) : StatementPlan(k) {}
    ScanMemo* scan = nullptr;
};

// Whether a statement that starts with t ends a procedure body.
bool EndsBody(const Token& t);

}  // namespace tallow
