// The desktop entry (a freedesktop.org .desktop file) that stands for a
// shortcut on Linux: it launches the target with its arguments in the
// working directory. Pure text building, shared by both targets' tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell_link.h"

namespace tallow::platform {

// The whole file: a [Desktop Entry] group of type Application whose Name is
// the link file's name without directory and extension, with Comment, Path
// and Icon from the description, working directory and icon file when they
// are given.
std::string DesktopEntryText(const ShellLinkSpec& link, std::string_view linkFile);

// Splits a command-line text into words as Windows programs read it: blanks
// separate words, and a double-quoted part keeps its blanks and loses its
// quotes ("" is an empty word). A backslash is an ordinary character.
std::vector<std::string> SplitArguments(std::string_view text);

// The value of an Exec key for a program and its arguments: each word
// quoted where the desktop-entry rules require it, % doubled, and the
// whole escaped as every string value is.
std::string ExecValue(const std::string& program, const std::vector<std::string>& arguments);

// A string value with the escapes of the desktop-entry format (\\, \n, \t,
// \r, and \s for a leading blank).
std::string EscapeValue(std::string_view value);

}  // namespace tallow::platform
