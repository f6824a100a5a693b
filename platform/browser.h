// Showing a local document in the user's web browser, for programs that
// point their user at their documentation.
#pragma once

#include <string>

namespace tallow::platform {

// Hands url (a file: URL) to the desktop's browser without waiting for it.
// False where there is no desktop to show it on or nothing to show it with:
// on Linux without DISPLAY or WAYLAND_DISPLAY, or without xdg-open; on
// Windows when the shell cannot start a program for it.
bool OpenInBrowser(const std::string& url);

// The file: URL of an absolute path, with "#fragment" after it when
// fragment is not empty.
std::string FileUrl(const std::string& path, const std::string& fragment);

}  // namespace tallow::platform
