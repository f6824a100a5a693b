// The base of every window class of the IDE: one window procedure that finds
// the C++ object through the window's user data and calls HandleMessage, with
// every exception caught there, so none crosses into the system's frames.
#pragma once

#include <windows.h>

#include <string>

namespace tallow::ide::win32 {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists.
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

    // Registers a class whose procedure dispatches to Window objects; the
    // same name may be registered again (the second call does nothing).
    static void RegisterClass(const char* className, UINT style, HBRUSH background, HCURSOR cursor = nullptr,
                              HICON icon = nullptr);

protected:
    // Creates the window of a class registered with RegisterClass; throws
    // std::runtime_error when the system refuses.
    void Create(const char* className, const char* caption, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId);

    // The message's answer; Default() for what the class leaves to the system.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
    // Called after WM_NCDESTROY; the handle is already gone.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

// What a window procedure does with an exception that reached it: the text
// goes to the debugger output and, for an ordinary error, into an error box
// owned by the window. Never throws.
void ReportCaughtException(HWND owner, const char* where) noexcept;

// Runs f and returns its result, or fallback when it throws (reported as above).
template <typename F, typename R>
R Guarded(HWND owner, const char* where, R fallback, F&& f) noexcept {
    try {
        return f();
    } catch (...) {
        ReportCaughtException(owner, where);
        return fallback;
    }
}

}  // namespace tallow::ide::win32
