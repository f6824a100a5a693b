// Waiting on Windows with the thread's window messages flowing, for input
// that no handle signals (a serial port read ahead, a mailslot's message
// count): the wait looks every slice, and at once after each message.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace tallow::platform {

// How often a wait looks for input while no window message arrives.
constexpr DWORD kInputSliceMs = 10;

// Retrieves, translates and dispatches every message waiting for the thread.
void PumpMessages();

// Waits until ready() gives true or milliseconds have passed, dispatching
// the thread's window messages meanwhile; with 0 it only dispatches them.
template <class Ready>
void WaitPumpingUntil(uint32_t milliseconds, Ready ready) {
    PumpMessages();
    if (milliseconds == 0) return;
    DWORD start = GetTickCount();
    for (;;) {
        if (ready()) return;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        DWORD slice = std::min<DWORD>(milliseconds - elapsed, kInputSliceMs);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
        PumpMessages();
    }
}

}  // namespace tallow::platform
