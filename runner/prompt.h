// The interactive prompt: what is typed at a terminal runs line by line (a
// block until its closing keyword) in one program that keeps its variables,
// arrays, objects and procedures from entry to entry.
#pragma once

#include <string>
#include <string_view>

#include "tallow.h"

namespace tallow::runner {

// How much an entry opens blocks: +1 for each of if, for, while, select, try
// and proc, -1 for endif, next, endwhile, endselect, endtry and endproc,
// words in string literals and comments aside. An entry is complete when
// its depth is no longer positive.
int BlockDepth(std::string_view text);

// Runs the prompt on program until the end of input or an `exit`; returns
// the exit code.
int RunPrompt(TallowProgramHandle program);

}  // namespace tallow::runner
