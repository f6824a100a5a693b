// The desktop shell's "open" for code files (".cod"), for the current user:
// on Linux a desktop entry and a MIME type under $XDG_DATA_HOME, on Windows
// the "open" verb of the code-file type under HKEY_CURRENT_USER.
#pragma once

#include <string>
#include <vector>

namespace tallow::platform {

// The program the shell is to start with a code file's path: the runner
// itself on Linux, the windowless launcher beside it on Windows. Empty
// when it cannot be found.
std::string CodeFileLauncher();

// Makes launcher the program that opens code files. changed receives each
// file or key written, one line each; false with error set when one could
// not be written (what was written stays).
bool RegisterCodeFiles(const std::string& launcher, std::vector<std::string>& changed, std::string& error);

// Removes what RegisterCodeFiles writes and nothing else (an "edit" verb,
// the type's name and the extension's mapping stay). changed receives what
// was removed; it is empty, and the result true, when nothing was there.
bool UnregisterCodeFiles(std::vector<std::string>& changed, std::string& error);

}  // namespace tallow::platform
