// Text on the system clipboard: plain text (CF_TEXT, lines ending in CR LF,
// as the editor model writes and reads them) or the text of a private format
// such as the designer's. The caller's window owns the clipboard while the
// text is put there.
#pragma once

#include <windows.h>

#include <string>

namespace tallow::ide::win32 {

// Replaces the clipboard's contents by the text; false when the clipboard
// cannot be opened or the memory cannot be had (the clipboard may then be
// empty).
bool SetClipboardTextA(HWND owner, const std::string& text);
// The same for a registered format: the text with its terminating zero.
bool SetClipboardFormatText(HWND owner, UINT format, const std::string& text);

// The clipboard's text up to its first NUL; false (text untouched) when it
// holds no text or cannot be opened.
bool GetClipboardTextA(HWND owner, std::string& text);
// The same for a registered format, never reading past the data's block:
// another program may have put anything under the format.
bool GetClipboardFormatText(HWND owner, UINT format, std::string& text);

}  // namespace tallow::ide::win32
