#include "ide/win32/window_base.h"

#include "ide/win32/modal_answers.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace tallow::ide::win32 {

Window::~Window() {
    if (hwnd_) {
        // The object is going: the procedure must not reach it any more.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::RegisterClass(const char* className, UINT style, HBRUSH background, HCURSOR cursor, HICON icon) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, className, &existing)) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hIcon = icon;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc))
        throw std::runtime_error(std::string("Cannot register window class ") + className);
}

void Window::Create(const char* className, const char* caption, DWORD style, DWORD exStyle, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId) {
    HWND made = CreateWindowExA(exStyle, className, caption, style, x, y, width, height, parent, menuOrId,
                                GetModuleHandleA(nullptr), this);
    if (!made) throw std::runtime_error(std::string("Cannot create window ") + className);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            self->hwnd_ = window;
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = Guarded(window, "window procedure", LRESULT{0},
                             [&] { return self->HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        Guarded(window, "window destroyed", 0, [&] {
            self->OnDestroyed();
            return 0;
        });
    }
    return result;
}

void ReportCaughtException(HWND owner, const char* where) noexcept {
    std::string text;
    try {
        throw;
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "Unexpected error";
    }
    try {
        OutputDebugStringA((std::string(where) + ": " + text + "\n").c_str());
    } catch (...) {
    }
    try {
        ShowMessageBox(owner && IsWindow(owner) ? owner : nullptr, text, "Error", MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

}  // namespace tallow::ide::win32
