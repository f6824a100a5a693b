// The three commands of tallowcod: build a code file from a script and
// dialog scripts, take one apart again, and describe one.
#pragma once

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tallow::codec {

// A failure of a command (missing file, malformed input, unwritable output);
// what() is the whole message.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Date {
    int16_t year = 0, month = 0, day = 0;
};

// The local date of today, for new files.
Date Today();
// "YYYY-MM-DD" to a date; false when the text is not one.
bool ParseDate(const std::string& text, Date& date);

// Writes a version-1 code file: the script's bytes with a NUL appended and
// every DIALOG of the dialog scripts, in order. Raises ToolError.
void PackCodeFile(const std::string& script, const std::vector<std::string>& dialogScripts,
                  const std::string& output, const Date& date);

// Writes the script of FILE.cod as FILE.tal and each dialog as NAME.rc into
// directory (created when missing), and to out the files written and the
// pack command that builds the same file again. Raises ToolError.
void UnpackCodeFile(const std::string& file, const std::string& directory, std::ostream& out);

// Describes a code file: version, date stamp, dialogs with their template
// sizes, code size. Raises ToolError for a file the runner would refuse.
void ListCodeFile(const std::string& file, std::ostream& out);

}  // namespace tallow::codec
