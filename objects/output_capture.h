// The standard output of a child that system or exec runs, captured into a
// new string array, one element a line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/process.h"

namespace tallow {

class Program;

// Divides captured bytes into lines: a carriage return ends a line (an empty
// one too), a line feed is dropped, unless lineFeedEndsLine is set and no
// carriage return comes just before it, when it ends one as well. A last
// line without an end is kept unless it is empty.
std::vector<std::string> SplitCapturedLines(std::string_view bytes, bool lineFeedEndsLine);

// A capture for one statement: a private temporary file for the child's
// standard output, turned into the array by Finish. When the file cannot be
// made, the child writes where the process does and the array comes out
// empty. The file goes when the capture does, whatever happened meanwhile.
class OutputCapture {
public:
    OutputCapture(Program& program, std::string arrayName);

    // Where the child's standard output goes; null for the process's own.
    platform::CaptureFile* File() { return file_.IsOpen() ? &file_ : nullptr; }
    // Makes the array anew from what the child wrote. Raises "array name
    // conflict" when the name belongs to an object that is no array the
    // script made, and "out of memory" past the program's budget.
    void Finish();

private:
    Program& program_;
    std::string arrayName_;
    platform::CaptureFile file_;
};

}  // namespace tallow
