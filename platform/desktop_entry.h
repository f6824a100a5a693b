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
// the link file's name without directory and extension, whose Exec is the
// target and the words of the arguments (split as exec splits a command
// line), with Comment, Path and Icon from the description, working
// directory and icon file when they are given.
std::string DesktopEntryText(const ShellLinkFields& link, std::string_view linkFile);

// The value of an Exec key for a program and its arguments: each word
// quoted where the desktop-entry rules require it, % doubled, and the
// whole escaped as every string value is.
std::string ExecValue(const std::string& program, const std::vector<std::string>& arguments);

// A string value with the escapes of the desktop-entry format (\\, \n, \t,
// \r, and \s for a leading blank).
std::string EscapeValue(std::string_view value);

}  // namespace tallow::platform
