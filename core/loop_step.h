// The step of NEXT, inline for the statement loop; StmtNext is the same code.
#pragma once

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"

namespace tallow {

// next = "next": one step of 1 toward the limit, ending on the limit itself.
inline void ForStep(Program& p) {
    MainObject& main = p.Main();
    if (main.forStack.size() <= main.forFloor) p.ReportError(kSyntaxKind, msg::kNextWithoutFor);
    ForEntry& loop = main.forStack.back();
    // The loop variable is a global; its table entry is remembered.
    NumVarTable& table = main.numMembers;
    if (loop.slot.generation != table.Generation()) [[unlikely]] {
        int index = table.Find(loop.name);
        if (index < 0) table.Get(loop.name);  // reports the unknown variable
        loop.slot = {table.Generation(), uint32_t(index)};
    }
    double& v = table.At(loop.slot.index);
    double limit = loop.limit;
    if (v == limit) {
        main.forStack.pop_back();
        return;
    }
    if (v < limit) {
        v += 1;
        if (v >= limit) v = limit;
    } else {
        v -= 1;
        if (v <= limit) v = limit;
    }
    p.Lex().SetPosition(loop.top);
}

}  // namespace tallow
