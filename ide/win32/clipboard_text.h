// Plain text on the system clipboard (CF_TEXT, lines ending in CR LF, as the
// editor model writes and reads them). The caller's window owns the
// clipboard while the text is put there.
#pragma once

#include <windows.h>

#include <string>

namespace tallow::ide::win32 {

// Replaces the clipboard's contents by the text; false when the clipboard
// cannot be opened or the memory cannot be had (the clipboard may then be
// empty).
bool SetClipboardTextA(HWND owner, const std::string& text);

// The clipboard's text up to its first NUL; false (text untouched) when it
// holds no text or cannot be opened.
bool GetClipboardTextA(HWND owner, std::string& text);

}  // namespace tallow::ide::win32
