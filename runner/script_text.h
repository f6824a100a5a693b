// What the runner checks in a script file before the engine runs it (the
// engine itself passes over a byte-order mark and a "#!" line).
#pragma once

#include <string>
#include <string_view>

namespace tallow::runner {

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
