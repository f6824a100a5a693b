// Dialogs on Windows: a modeless dialog from the template through
// CreateDialogIndirectParamA, its dialog procedure, and the message loop of a
// modal execute. The window keeps its state in window properties: the
// owning program's parent-window slot ("ProgramObject"), the object that
// waits ("Object"), the owner before execute ("OldParentWindow") and the
// result ("DialogRet"). When no window can be created (no display), the
// model of the controls stands in.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog_model.h"

namespace tallow::platform {

namespace {

constexpr char kProgramProperty[] = "ProgramObject";
constexpr char kObjectProperty[] = "Object";
constexpr char kOldParentProperty[] = "OldParentWindow";
constexpr char kResultProperty[] = "DialogRet";

// The wait mode that hides the dialog when a push button ends the wait.
constexpr int kHideOnButton = 1;
// Longest class name compared ("Button" and its letter cases).
constexpr int kClassNameSize = 16;

class Win32Dialog;

HANDLE AsProperty(intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

bool IsPushButton(HWND control) {
    char name[kClassNameSize];
    if (!control || !GetClassNameA(control, name, sizeof name) || lstrcmpiA(name, "Button") != 0)
        return false;
    LONG type = GetWindowLongA(control, GWL_STYLE) & kBsTypeMask;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Text of a window through WM_GETTEXT, cut to maxLength (npos: all of it).
std::string WindowText(HWND window, size_t maxLength) {
    if (!window) return std::string();
    size_t length = size_t(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    if (length > maxLength) length = maxLength;
    std::string text(length + 1, '\0');
    LRESULT got =
        SendMessageA(window, WM_GETTEXT, WPARAM(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? std::min(size_t(got), length) : 0);
    return text;
}

// The text of list item index (LB_GETTEXT or CB_GETLBTEXT), cut to maxLength.
std::string ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index, size_t maxLength) {
    LRESULT length = SendMessageA(control, lengthMessage, WPARAM(index), 0);
    if (length < 0) return std::string();
    std::string text(size_t(length) + 1, '\0');
    LRESULT got = SendMessageA(control, textMessage, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? size_t(got) : 0);
    if (text.size() > maxLength) text.resize(maxLength);
    return text;
}

class Win32Dialog final : public DialogWindow {
public:
    Win32Dialog(HWND window, Handle* parentWindow, int defaultButton)
        : window_(window), defaultButton_(defaultButton) {
        SetPropA(window_, kProgramProperty, parentWindow);
    }
    ~Win32Dialog() override { Destroy(); }

    bool Interactive() const override { return true; }
    Handle NativeHandle() const override { return window_; }
    bool Visible() const override { return IsWindowVisible(window_) != FALSE; }
    std::string Caption() const override { return WindowText(window_, std::string::npos); }
    void SetCaption(const std::string& text) override { SetWindowTextA(window_, text.c_str()); }

    bool HasControl(int id) const override { return Control(id) != nullptr; }
    void FocusControl(int id) override { SetFocus(Control(id)); }
    std::string ControlText(int id, size_t maxLength) const override {
        return WindowText(Control(id), maxLength);
    }
    void SetControlText(int id, const std::string& text) override {
        SetDlgItemTextA(window_, id, text.c_str());
    }

    void AddListItem(int id, const std::string& text) override { Send(id, LB_ADDSTRING, 0, text.c_str()); }
    void ClearList(int id) override { Send(id, LB_RESETCONTENT, 0, nullptr); }
    void SelectListItem(int id, int index) override {
        LONG style = GetWindowLongA(Control(id), GWL_STYLE);
        if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))
            SendDlgItemMessageA(window_, id, LB_SETSEL, TRUE, LPARAM(index));
        else
            SendDlgItemMessageA(window_, id, LB_SETCURSEL, WPARAM(index), 0);
    }
    std::string ListSelection(int id, size_t maxLength) const override {
        LRESULT index = SendDlgItemMessageA(window_, id, LB_GETCURSEL, 0, 0);
        if (index == LB_ERR) return std::string();
        return ItemText(Control(id), LB_GETTEXTLEN, LB_GETTEXT, int(index), maxLength);
    }
    bool SelectedListItems(int id, size_t maxLength, std::vector<std::string>& out) const override {
        LRESULT count = SendDlgItemMessageA(window_, id, LB_GETSELCOUNT, 0, 0);
        if (count == LB_ERR || count < 0) return false;
        std::vector<int> indices(size_t(count) + 1);
        LRESULT got = SendDlgItemMessageA(window_, id, LB_GETSELITEMS, WPARAM(count),
                                          reinterpret_cast<LPARAM>(indices.data()));
        out.clear();
        for (LRESULT i = 0; i < got && i < count; ++i)
            out.push_back(ItemText(Control(id), LB_GETTEXTLEN, LB_GETTEXT, indices[size_t(i)], maxLength));
        return true;
    }

    void AddComboItem(int id, const std::string& text) override { Send(id, CB_ADDSTRING, 0, text.c_str()); }
    void ClearCombo(int id) override { Send(id, CB_RESETCONTENT, 0, nullptr); }
    // An index outside the items removes the selection and empties the edit
    // field. The system documents that for any such index, but some versions
    // keep the old selection unless the index is -1: -1 is sent for all.
    void SelectComboItem(int id, int index) override {
        LRESULT count = SendDlgItemMessageA(window_, id, CB_GETCOUNT, 0, 0);
        if (index < 0 || count < 0 || index >= count) index = -1;
        SendDlgItemMessageA(window_, id, CB_SETCURSEL, WPARAM(index), 0);
    }

    void SetCheck(int id, int state) override { CheckDlgButton(window_, id, UINT(state)); }
    int Check(int id) const override { return int(IsDlgButtonChecked(window_, id)); }
    int DefaultPushButton() const override { return defaultButton_; }

    DialogExecution Execute(int waitMode, Handle& parentWindow) override;
    void Close(Handle& parentWindow) override;

    // The dialog procedure's side of the wait.
    int waitMode = 0;

private:
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    void Send(int id, UINT message, WPARAM wParam, const char* text) {
        SendDlgItemMessageA(window_, id, message, wParam, reinterpret_cast<LPARAM>(text));
    }
    void Destroy() {
        if (!window_) return;
        for (const char* name : {kProgramProperty, kObjectProperty, kOldParentProperty, kResultProperty})
            RemovePropA(window_, name);
        DestroyWindow(window_);
        window_ = nullptr;
    }

    HWND window_;
    int defaultButton_;
};

// Shows the dialog and, for a wait mode above 0, pumps the thread's messages
// until it hides or a push button sets the wait mode to 0. A quit message
// destroys the window.
DialogExecution Win32Dialog::Execute(int mode, Handle& parentWindow) {
    if (HWND first = GetWindow(window_, GW_CHILD)) SetFocus(first);
    if (!IsWindowVisible(window_)) {
        SetPropA(window_, kOldParentProperty, parentWindow);
        // The program's owner window becomes the dialog's owner, and the
        // dialog the owner of the boxes and dialogs it opens meanwhile.
        SetWindowLongPtrA(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(parentWindow));
        parentWindow = window_;
    }
    SetPropA(window_, kObjectProperty, this);
    waitMode = mode;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetForegroundWindow(window_);
    if (mode == 0) return {1, false};
    while (IsWindowVisible(window_) && waitMode > 0) {
        WaitMessage();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                if (IsWindowVisible(window_)) parentWindow = GetPropA(window_, kOldParentProperty);
                Destroy();
                return {0, true};
            }
            if (!IsDialogMessageA(window_, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    return {int(reinterpret_cast<intptr_t>(GetPropA(window_, kResultProperty))), false};
}

// A dialog that is not shown keeps the program's owner window as it is.
void Win32Dialog::Close(Handle& parentWindow) {
    if (!IsWindowVisible(window_)) return;
    parentWindow = GetPropA(window_, kOldParentProperty);
    ShowWindow(window_, SW_HIDE);
}

// Centred on the screen without repainting: half the screen less half the dialog.
void Centre(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    int x = GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2;
    int y = GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
}

// A click on a push button stores its id as the result and ends the wait
// (hiding the dialog in wait mode 1). Other notifications, and other
// controls, leave the wait alone.
INT_PTR OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (HIWORD(wParam) != BN_CLICKED || !IsPushButton(control)) return FALSE;
    SetPropA(window, kResultProperty, AsProperty(LOWORD(wParam)));
    if (auto* dialog = static_cast<Win32Dialog*>(GetPropA(window, kObjectProperty))) {
        if (dialog->waitMode == kHideOnButton) ShowWindow(window, SW_HIDE);
        dialog->waitMode = 0;
    }
    return TRUE;
}

// Hidden after an execute: the program's owner window is what it was before.
void OnHide(HWND window) {
    auto* parentWindow = static_cast<Handle*>(GetPropA(window, kProgramProperty));
    if (parentWindow && GetPropA(window, kObjectProperty))
        *parentWindow = GetPropA(window, kOldParentProperty);
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
            case WM_INITDIALOG:
                Centre(window);
                return TRUE;
            case WM_COMMAND:
                return OnCommand(window, wParam, lParam);
            case WM_SHOWWINDOW:
                // Hidden by ShowWindow (lParam 0), not with its owner.
                if (!wParam && !lParam) OnHide(window);
                return FALSE;
            case WM_CLOSE:
                SetPropA(window, kResultProperty, AsProperty(0));
                ShowWindow(window, SW_HIDE);
                return TRUE;
            default:
                return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

// A combo box with an edit field starts with its item's text, as a dialog
// without a window shows it; the system leaves the edit field empty.
void SetInitialComboTexts(HWND window, const codec::DialogTemplate& dialog) {
    for (const codec::DialogItem& item : dialog.items) {
        if (ClassOfItem(item.windowClass) != ControlClass::ComboBox || item.title.isOrdinal) continue;
        if ((item.style & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST || item.title.name.empty()) continue;
        SetDlgItemTextA(window, item.id, codec::NarrowUnits(item.title.name).c_str());
    }
}

// WS_VISIBLE, taken out of the template's style: a dialog shows at execute.
constexpr DWORD kVisibleStyle = WS_VISIBLE;

}  // namespace

std::unique_ptr<DialogWindow> CreateDialogWindow(std::span<const uint8_t> templateBytes,
                                                 Handle* parentWindow) {
    codec::DialogTemplate dialog;
    if (!codec::ReadDialogTemplate(templateBytes, dialog)) return nullptr;
    // A copy that starts on a DWORD boundary, as the system requires.
    std::vector<DWORD> bytes((templateBytes.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
    memcpy(bytes.data(), templateBytes.data(), templateBytes.size());
    bytes[0] &= ~kVisibleStyle;
    HWND owner = parentWindow ? static_cast<HWND>(*parentWindow) : nullptr;
    HWND window =
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                   owner, DialogProcedure, 0);
    if (!window) return std::make_unique<DialogModel>(dialog);
    SetInitialComboTexts(window, dialog);
    return std::make_unique<Win32Dialog>(window, parentWindow, DefaultPushButtonOf(dialog));
}

}  // namespace tallow::platform
