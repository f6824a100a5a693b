// The message pump of the waits that look for input themselves.
#include "platform/win32/message_pump_win32.h"

namespace tallow::platform {

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace tallow::platform
