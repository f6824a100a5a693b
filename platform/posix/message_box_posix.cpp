// Message boxes on Linux: there is no window yet, so every box is written to
// standard error and answered with its first button.
#include "platform/message_box.h"

namespace tallow::platform {

int ShowMessageBox(Handle, std::string_view text, std::string_view caption, unsigned type) {
    if (ObserveBox(text, caption)) return FirstButtonResult(type);
    WriteBoxToStdError(text, caption);
    return FirstButtonResult(type);
}

}  // namespace tallow::platform
