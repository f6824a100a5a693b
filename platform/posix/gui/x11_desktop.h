// Window search and simulated keys on an X11 display.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tallow::gui {

// Raises and activates the first client window (in the window manager's
// list, else the screen's top-level windows) whose title starts with
// titleStart, without regard to case, and waits (a few seconds at most)
// until it holds the keyboard. False when none matched or the display is
// no X11 display.
bool RaiseWindowByTitle(const char* titleStart);

// Sends each stroke (a Win32 virtual key, pressed or released) through the
// XTest extension, and returns once the server has handled them. False when
// the display is no X11 display or lacks XTest.
bool SendVirtualKeys(const uint8_t* virtualKeys, const uint8_t* downs, size_t count);

}  // namespace tallow::gui
