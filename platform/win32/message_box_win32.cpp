// Message boxes through MessageBoxA, or standard error when unattended.
#include "platform/message_box.h"

#include <windows.h>

#include <string>

namespace tallow::platform {

int ShowMessageBox(Handle owner, std::string_view text, std::string_view caption, unsigned type) {
    if (ObserveBox(text, caption)) return FirstButtonResult(type);
    if (Unattended()) {
        WriteBoxToStdError(text, caption);
        return FirstButtonResult(type);
    }
    std::string t(text), c(caption);
    int result = MessageBoxA(static_cast<HWND>(owner), t.c_str(), c.c_str(), type);
    if (result) return result;
    // No box could be shown (no display): say what it would have said.
    WriteBoxToStdError(text, caption);
    return FirstButtonResult(type);
}

}  // namespace tallow::platform
