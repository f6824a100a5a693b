// The status window on Windows: a modeless dialog from resource 107 of the
// module that holds this code (TallowCore.dll), with a message line and a
// progress bar. The window keeps the owning program's parent-window slot
// ("ProgramObject") and the owner from before show ("OldParentWindow") as
// window properties, so that its close box can give the program its owner
// back.
#include <windows.h>

#include <commctrl.h>

#include "platform/status_window.h"
#include "platform/win32/status_window_ids.h"

namespace tallow::platform {

namespace {

constexpr char kProgramProperty[] = "ProgramObject";
constexpr char kOldParentProperty[] = "OldParentWindow";

// The owner from before show comes back, and the window hides.
void HideAndRestore(HWND window) {
    if (!IsWindowVisible(window)) return;
    if (auto* parentWindow = static_cast<Handle*>(GetPropA(window, kProgramProperty)))
        *parentWindow = GetPropA(window, kOldParentProperty);
    ShowWindow(window, SW_HIDE);
}

// Only the close request is the window's own: it hides the window as hide
// does. Everything else gets the default dialog handling.
INT_PTR CALLBACK StatusProcedure(HWND window, UINT message, WPARAM, LPARAM) {
    try {
        if (message == WM_INITDIALOG) return TRUE;
        if (message != WM_CLOSE) return FALSE;
        HideAndRestore(window);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// Centred on the screen, keeping its size.
void Centre(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The module whose resources hold the dialog: the one this code is linked
// into, whether that is TallowCore.dll or a program linked with the engine.
HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&StatusProcedure), &module);
    return module;
}

class Win32StatusWindow final : public StatusWindow {
public:
    Win32StatusWindow(HWND window, Handle* parentWindow) : window_(window) {
        SendDlgItemMessageA(window_, IDC_STATUS_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(window_, IDC_STATUS_PROGRESS, PBM_SETPOS, 0, 0);
        SetPropA(window_, kProgramProperty, parentWindow);
    }
    ~Win32StatusWindow() override {
        HideAndRestore(window_);
        RemovePropA(window_, kProgramProperty);
        RemovePropA(window_, kOldParentProperty);
        DestroyWindow(window_);
    }

    Handle NativeHandle() const override { return window_; }
    bool Visible() const override { return IsWindowVisible(window_) != FALSE; }

    void Show(Handle& parentWindow) override {
        Centre(window_);
        if (!Visible() && parentWindow != window_) {
            // Owned by the program's owner window, and the owner of what the
            // program opens meanwhile.
            SetWindowLongPtrA(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(parentWindow));
            SetPropA(window_, kOldParentProperty, parentWindow);
            parentWindow = window_;
        }
        ShowWindow(window_, SW_SHOWNORMAL);
        SetPercent(0);
    }
    void Hide(Handle&) override { HideAndRestore(window_); }

    void SetCaption(const std::string& text) override {
        SetWindowTextA(window_, text.c_str());
        Repaint();
    }
    void SetMessage(const std::string& text) override {
        SetDlgItemTextA(window_, IDC_STATUS_MESSAGE, text.c_str());
        Repaint();
    }
    void SetPercent(int percent) override {
        SendDlgItemMessageA(window_, IDC_STATUS_PROGRESS, PBM_SETPOS, WPARAM(percent), 0);
        Repaint();
    }

private:
    // The script keeps the thread busy between its statements, so nothing
    // would paint a change until it waits: paint it now.
    void Repaint() {
        if (Visible())
            RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

    HWND window_;
};

}  // namespace

std::unique_ptr<StatusWindow> MakeStatusWindow(Handle* parentWindow) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HWND owner = parentWindow ? static_cast<HWND>(*parentWindow) : nullptr;
    HWND window = CreateDialogParamA(ThisModule(), MAKEINTRESOURCEA(IDD_STATUS), owner, StatusProcedure, 0);
    if (!window) return nullptr;
    return std::make_unique<Win32StatusWindow>(window, parentWindow);
}

}  // namespace tallow::platform
