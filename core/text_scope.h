// Everything that belongs to one text being run: its lexer, its procedures
// and labels, and what is remembered about its places. A run makes one for
// its text; eval and evalarray make one for the evaluated text and put the
// enclosing text's back when it ends.
#pragma once

#include <string_view>

#include "core/control_flow.h"
#include "core/procedures.h"
#include "expr/lexer.h"
#include "expr/text_memory.h"

namespace tallow {

class Program;

struct TextScope {
    TextScope(Program& program, std::string_view text)
        : lexer(&program), procs(program), labels(program), memory(Init(lexer, text)) {
        lexer.RememberTokens(program.FastPaths());
    }

    Lexer lexer;
    ProcTable procs;
    LabelTable labels;
    TextMemory memory;

private:
    // A text of null is no text at all (a program that has not run).
    static size_t Init(Lexer& lexer, std::string_view text) {
        if (text.data()) lexer.SetText(text);
        return lexer.Text().size() + 1;
    }
};

}  // namespace tallow
