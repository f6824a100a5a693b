// The runner's report of the error that ended a run, in the form compilers
// use so that editors can jump to it: the error line, then its notes.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tallow.h"

namespace tallow::runner {

struct RunNote {
    std::string text;
    int line = 0;
    int column = 0;
};

// The error that ended a run, as the engine hands it over.
struct RunError {
    std::string message;
    std::string token;  // as the script wrote it; empty between tokens
    int line = 0;
    int column = 0;
    std::vector<RunNote> notes;
};

// The error that ended the last run of program; false when it did not fail.
bool LastRunError(TallowProgramHandle program, RunError& error);
// The error that ended the last code-file run of this thread; false when
// it did not fail.
bool LastCodeRunError(RunError& error);

// Names a place for the report: "FILE:LINE:COLUMN", say.
using PlaceName = std::function<std::string(int line, int column)>;

// Writes PLACE: error: MESSAGE[: 'TOKEN'] and a PLACE: note: TEXT line for
// each note to out.
void WriteDiagnostic(std::FILE* out, const RunError& error, const PlaceName& place);

// The place in a file (or "-e", "-"): FILE:LINE:COLUMN.
PlaceName FilePlace(const std::string& file);

}  // namespace tallow::runner
