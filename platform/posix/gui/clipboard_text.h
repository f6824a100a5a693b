// The text format between the desktop's clipboard (UTF-8, line feeds) and
// scripts (single-byte text, CR LF).
#pragma once

#include <string>
#include <string_view>

namespace tallow::gui {

// Another program's clipboard text as a script reads the text format: each
// character as its Latin-1 byte ('?' for one Latin-1 lacks), each line feed
// without a carriage return before it as CR LF, and a NUL at the end. Text
// that is no valid UTF-8 keeps its bytes.
std::string ScriptTextOf(std::string_view desktopText);

}  // namespace tallow::gui
