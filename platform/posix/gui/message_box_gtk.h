// Message boxes of the desktop module.
#pragma once

namespace tallow::gui {

// Shows a box with the Win32 type bits (buttons, icon, default button) and
// returns the result code of the button pressed.
int ShowMessageBox(const char* text, const char* caption, unsigned type);

}  // namespace tallow::gui
