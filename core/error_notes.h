// Notes on an error: what a diagnostic adds below the fixed message where the
// message alone misleads ("did you mean 'floor'?", where a block that is
// never closed opens). The rules are kNoteRules beside the messages; this is
// the lookup that applies them to a program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/program.h"

namespace tallow {

// The notes for error, an error of program's current text, from what the
// program knows now (its names, variables, objects and text): at most one
// per error, in the order a diagnostic prints them. Reads the program and
// changes nothing; raises nothing.
std::vector<ErrorNote> ErrorNotes(Program& program, const ErrorReport& error);

// How many single-character edits (insert, delete, replace, swap two
// neighbours) turn a into b, letter case aside.
size_t EditDistance(std::string_view a, std::string_view b);

// The name among candidates nearest to name, or "" when name is one of them
// or none is near enough to be a likely slip: one edit for names of up to
// two letters, two up to five, three beyond. Ties go to the first candidate.
std::string NearestName(std::string_view name, const std::vector<std::string>& candidates);

}  // namespace tallow
