// The last guard of a Wine test program: a thread that ends the process
// when a test hangs (a window nobody answers, a peer that never replies), so
// that CTest reports a failure instead of waiting for its time-out. Every
// wait of a test has its own, shorter deadline.
#pragma once

#include <windows.h>

#include <thread>

namespace tallow::test {

// Starts the watchdog: after milliseconds the process ends with status 99.
inline void StartWatchdog(DWORD milliseconds) {
    std::thread([milliseconds] {
        Sleep(milliseconds);
        ExitProcess(99);
    }).detach();
}

}  // namespace tallow::test
