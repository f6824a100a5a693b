// Preparing script text for the engine: the runner's line-end and "#!" rules.
#pragma once

#include <string>
#include <string_view>

namespace tallow::runner {

// The byte-order mark that some editors write at the start of UTF-8 text.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The text up to its first NUL, without a leading UTF-8 byte-order mark,
// and with a first line that starts with "#!" turned into blanks. Line ends
// stay as they are: the engine reads LF, CR LF and CR alike.
std::string PrepareScriptText(std::string_view raw);

// The offset of the first NUL byte that has anything but more NULs after it,
// or npos. Such a NUL would silently cut the script short; NULs that only
// pad the end of a file cut nothing.
size_t FindStrayNul(std::string_view raw);

// The line (from 1) that holds the byte at offset, lines ending at a line
// feed, a carriage return and line feed, or a lone carriage return.
size_t LineOfOffset(std::string_view raw, size_t offset);

// True when the bytes start as a code file does: "TALLOW" and a NUL within
// the 16-byte magic field. The code runner tells the versions apart, and
// refuses a magic it does not know ("TALLOW2") as an invalid file type.
bool IsCodeFile(std::string_view raw);

}  // namespace tallow::runner
