// Casing on Windows: the system's ANSI code page through CharUpperBuff and
// CharLowerBuff, which work on counted text with embedded NULs too.
#include <windows.h>

#include "platform/text_case.h"

namespace tallow::platform {

void UpperCaseText(std::string& text) {
    if (!text.empty()) CharUpperBuffA(text.data(), DWORD(text.size()));
}

void LowerCaseText(std::string& text) {
    if (!text.empty()) CharLowerBuffA(text.data(), DWORD(text.size()));
}

}  // namespace tallow::platform
