// Labels and the GOSUB return stack; the block statements themselves are
// handlers in control_flow.cpp that work on the lexer's position.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "expr/names.h"

namespace tallow {

class Program;

class LabelTable {
public:
    explicit LabelTable(Program& program) : program_(program) {}

    // Records every label of the current text ("Duplicate label encountered").
    void Prescan();
    void Reset();
    // Moves the lexer to the label; false when there is none.
    bool Goto(std::string_view name);
    bool Gosub(std::string_view name);
    void Return();

private:
    Program& program_;
    NameMap<uint32_t> positions_;
    std::vector<uint32_t> returnStack_;
};

struct StatementPlan;

// The block statements run from their plans (compiled condition, remembered
// scans); false when the plan cannot run and the statement must be read
// from the text.
bool RunIfPlan(Program& p, StatementPlan& plan);
bool RunWhilePlan(Program& p, StatementPlan& plan);

// Forward scans over keyword tokens. Each reads tokens from the lexer and
// looks their text up as keywords; true when the scan found its end, false
// at the end of the text.
bool SkipToMatchingEnd(Program& p, int openKeyword, int closeKeyword);

}  // namespace tallow
