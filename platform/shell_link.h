// Shortcut files: on Windows a shell link (.lnk) written through the shell's
// link object, on Linux a desktop entry (.desktop) that launches the target.
#pragma once

#include <string>

namespace tallow::platform {

// What a shortcut holds. Empty texts are left out of it.
struct ShellLinkFields {
    std::string target;  // the program or document the shortcut starts
    std::string description;
    std::string workingDir;
    std::string arguments;  // one command-line text, words split as the shell does
    std::string iconFile;
    int iconIndex = 0;  // the icon's index in iconFile (Windows only)
};

// Writes the shortcut to linkFile, replacing a file of that name; false when
// the link object cannot be had or the file cannot be written.
bool CreateShellLink(const ShellLinkFields& link, const std::string& linkFile);

}  // namespace tallow::platform
