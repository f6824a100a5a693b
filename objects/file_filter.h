// The texts of the file choosers: the filter list the system reads, built
// from the script's "name|pattern|name|pattern" text, and the limits of the
// buffers both texts travel in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tallow {

// The file choosers hand the filter list and the file name over in buffers
// of 256 bytes, NULs included; the chosen path comes back in the same
// file-name buffer.
constexpr size_t kFileDialogBuffer = 256;
constexpr char kDefaultFileFilter[] = "All Files (*.*)|*.*";

// The system's list of name/pattern pairs: every "|" a NUL, and two NULs
// more at the end ("Text|*.txt" gives "Text\0*.txt\0\0"; with the string's
// own terminator the list ends in three NULs, as it always has). A list that
// would not fit the buffer keeps only the whole pairs that fit: a cut inside
// a pair would give the last name a wrong pattern, or pair later names with
// the wrong patterns. When not even the first pair fits the list is empty,
// and the chooser shows every file.
std::string BuildFilterList(std::string_view filter);

// Whether name fits the file-name buffer with its NUL. A longer initial name
// is not used (cut short it would name another file).
inline bool FitsFileNameBuffer(std::string_view name) {
    return name.size() < kFileDialogBuffer;
}

}  // namespace tallow
