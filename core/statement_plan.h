// What statement dispatch and the forward scans remember about a place in
// the text (see expr/code_cache.h).
#pragma once

#include <cstdint>
#include <string_view>

#include "core/statements.h"
#include "expr/lexer.h"
#include "expr/compiled_expr.h"

namespace tallow {

// Where a forward scan that began at a place ended.
struct ScanResult {
    int kind = 0;         // which scan
    uint32_t last = 0;    // the token index at which it stopped
    int depthChange = 0;  // what it did to the block depth it counts
    int outcome = 0;      // how it stopped (scan specific)
};

enum class PlanKind : uint8_t {
    Generic,    // dispatched from the text every time
    Keyword,    // a keyword statement of the main object: id
    NumAssign,  // name# = numexpr to a global variable
    StrAssign,  // name$ = strexpr to a global variable
    Next,       // the keyword next
    If,         // if condition then
    While,      // while condition
};

struct StatementPlan {
    PlanKind kind = PlanKind::Generic;
    int id = 0;
    StatementHandler handler = nullptr;  // a keyword's own handler, when it has one
    uint32_t equals = 0;     // token index of the "=" of an assignment
    uint32_t equalsEnd = 0;  // where the right side begins
    std::string_view name;
    VarSlot slot;
    bool codeKnown = false;  // whether the code below has been looked up
    bool inPlace = false;    // s$ = s$ + ...: the parts may be appended to s$
    NumCode* num = nullptr;  // the right side, compiled, or null
    StrCode* str = nullptr;
    CondCode* cond = nullptr;  // if, while: the condition, compiled, or null
    uint32_t then = 0;         // if: the token after the condition
    bool thenOk = false;       // whether that token is the keyword then
    bool scanKnown = false;    // if: where the scan over a false branch ends
    ScanResult scan;
    // The statement that followed last time, when it started at nextAt:
    // its first token and its plan (null for one read from the text), valid
    // under nextGeneration. Straight-line code and loops then go from plan to
    // plan without looking places up.
    uint32_t nextAt = UINT32_MAX;
    uint32_t nextGeneration = 0;
    const Token* nextToken = nullptr;
    StatementPlan* nextPlan = nullptr;
};



}  // namespace tallow
