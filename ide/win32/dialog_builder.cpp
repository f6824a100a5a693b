// Templates laid out in dialog units and written by the engine's template
// writer; the modal dialog's procedure; the control wrappers' reading side.
#include "ide/win32/dialog_builder.h"

#include <algorithm>

#include "ide/model/field_number.h"
#include "ide/win32/window_base.h"

namespace tallow::ide::win32 {

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE;
constexpr DWORD kUpDownStyle =
    UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
// The up-down's width before it attaches itself to the edit's right edge.
constexpr int kUpDownWidth = 10;

// A window's text as 8-bit bytes.
std::string TextOf(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    int got = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

int16_t Units(int value) {
    return static_cast<int16_t>(std::clamp(value, -32768, 32767));
}

}  // namespace

DialogBuilder::DialogBuilder(const std::string& title, int cx, int cy) {
    dialog_.style = kDialogStyle;
    dialog_.cx = Units(cx);
    dialog_.cy = Units(cy);
    dialog_.title = codec::WidenBytes(title);
    dialog_.pointSize = kDialogPointSize;
    dialog_.typeface = codec::WidenBytes(kDialogFace);
}

DialogBuilder& DialogBuilder::Add(const char* windowClass, const std::string& text, int id, DWORD style,
                                  const DialogRect& at, DWORD exStyle) {
    codec::DialogItem item;
    item.style = style | kChildStyle;
    item.exStyle = exStyle;
    item.x = Units(at.x);
    item.y = Units(at.y);
    item.cx = Units(at.cx);
    item.cy = Units(at.cy);
    item.id = static_cast<uint16_t>(id);
    item.windowClass = codec::NameOrOrdinal::Named(codec::WidenBytes(windowClass));
    item.title = codec::NameOrOrdinal::Named(codec::WidenBytes(text));
    dialog_.items.push_back(std::move(item));
    return *this;
}

DialogBuilder& DialogBuilder::Label(const std::string& text, int id, const DialogRect& at, DWORD style) {
    return Add("STATIC", text, id, style, at);
}

DialogBuilder& DialogBuilder::Edit(int id, const DialogRect& at, DWORD style) {
    return Add("EDIT", "", id, style | WS_BORDER | WS_TABSTOP, at);
}

DialogBuilder& DialogBuilder::Button(const std::string& text, int id, const DialogRect& at, bool isDefault) {
    return Add("BUTTON", text, id, (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, at);
}

DialogBuilder& DialogBuilder::CheckBox(const std::string& text, int id, const DialogRect& at, DWORD extra) {
    return Add("BUTTON", text, id, BS_AUTOCHECKBOX | WS_TABSTOP | extra, at);
}

DialogBuilder& DialogBuilder::Radio(const std::string& text, int id, const DialogRect& at, DWORD extra) {
    return Add("BUTTON", text, id, BS_RADIOBUTTON | extra, at);
}

DialogBuilder& DialogBuilder::Group(const std::string& text, const DialogRect& at) {
    return Add("BUTTON", text, -1, BS_GROUPBOX, at);
}

DialogBuilder& DialogBuilder::SpinField(int editId, const DialogRect& at) {
    Edit(editId, at, ES_AUTOHSCROLL | ES_NUMBER);
    return Add("msctls_updown32", "", editId + 1, kUpDownStyle, {at.x + at.cx, at.y, kUpDownWidth, at.cy});
}

DialogBuilder& DialogBuilder::DropList(int id, const DialogRect& at, int dropHeight) {
    return Add("COMBOBOX", "", id, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
               {at.x, at.y, at.cx, at.cy + dropHeight});
}

DialogBuilder& DialogBuilder::Tabs(int id, const DialogRect& at) {
    return Add("SysTabControl32", "", id, WS_CLIPSIBLINGS, at);
}

DialogBuilder& DialogBuilder::OkCancel(int x, int y) {
    Button("OK", IDOK, {x, y, kButtonWidth, kButtonHeight}, true);
    return Button("Cancel", IDCANCEL, {x + kButtonWidth + kButtonGap, y, kButtonWidth, kButtonHeight});
}

INT_PTR ModalDialog::Run(HWND owner, const DialogBuilder& layout) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS | ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    std::vector<uint8_t> bytes = layout.Bytes();  // the allocation is aligned beyond the DWORD it needs
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()),
                                   owner, Procedure, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        self->dialog_ = dialog;
        bool opened = Guarded(dialog, "dialog opening", false, [&] {
            self->OnInit();
            return true;
        });
        if (!opened) EndDialog(dialog, IDCANCEL);
        return TRUE;  // the system gives the first control the focus
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR result = Guarded(dialog, "dialog procedure", INT_PTR{FALSE},
                             [&] { return self->Dispatch(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        self->dialog_ = nullptr;
    }
    return result;
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        int id = LOWORD(wParam);
        if (id == IDOK) {
            if (OnOk()) End(IDOK);
        } else if (id == IDCANCEL) {
            End(IDCANCEL);
        } else {
            OnCommand(id, HIWORD(wParam));
        }
        return TRUE;
    }
    std::optional<INT_PTR> answer = OnMessage(message, wParam, lParam);
    return answer ? *answer : FALSE;
}

std::string EditField::Text() const {
    return TextOf(control_);
}

int EditField::Int(int fallback) const {
    return ParseFieldNumber(Text()).value_or(fallback);
}

int UpDown::Value(int fallback) const {
    auto buddy = reinterpret_cast<HWND>(SendMessageA(control_, UDM_GETBUDDY, 0, 0));
    int low = 0, high = 0;
    SendMessageA(control_, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    if (low > high) std::swap(low, high);
    std::optional<int> typed = ParseFieldNumber(TextOf(buddy));
    return typed ? std::clamp(*typed, low, high) : fallback;
}

void TabStrip::Add(const std::string& text) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(control_, TCM_INSERTITEMA, Count(), reinterpret_cast<LPARAM>(&item));
}

}  // namespace tallow::ide::win32
