// The IDE's modal dialogs without resource files: a builder that lays out an
// in-memory template through the engine's template writer, the base class
// whose dialog procedure dispatches to a C++ object, and one small wrapper
// per control kind for reading and setting the controls inside it.
#pragma once

#include <windows.h>
// The up-down and tab strip messages.
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codec/dialog_template.h"

namespace tallow::ide::win32 {

// Every dialog of the IDE is set in this face and size.
inline constexpr const char* kDialogFace = "MS Sans Serif";
inline constexpr uint16_t kDialogPointSize = 8;

// What EndDialog answers when the system could not show the dialog at all.
inline constexpr INT_PTR kDialogFailed = -1;

// A position and size in dialog units.
struct DialogRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

// Collects a dialog's controls in tab order and writes the template.
// Coordinates are dialog units; text is the IDE's 8-bit text.
class DialogBuilder {
public:
    // A modal frame with a caption and a system menu, centred on its owner.
    DialogBuilder(const std::string& title, int cx, int cy);

    // Any control by window class name ("BUTTON", "EDIT", "msctls_updown32",
    // ...). WS_CHILD and WS_VISIBLE are always added.
    DialogBuilder& Add(const char* windowClass, const std::string& text, int id, DWORD style,
                       const DialogRect& at, DWORD exStyle = 0);

    DialogBuilder& Label(const std::string& text, int id, const DialogRect& at, DWORD style = SS_LEFT);
    DialogBuilder& Edit(int id, const DialogRect& at, DWORD style = ES_AUTOHSCROLL);
    DialogBuilder& Button(const std::string& text, int id, const DialogRect& at, bool isDefault = false);
    DialogBuilder& CheckBox(const std::string& text, int id, const DialogRect& at, DWORD extra = 0);
    // A radio button the dialog sets itself (not BS_AUTORADIOBUTTON), so the
    // model alone decides which of a group is set.
    DialogBuilder& Radio(const std::string& text, int id, const DialogRect& at, DWORD extra = 0);
    DialogBuilder& Group(const std::string& text, const DialogRect& at);
    // A numeric edit with an up-down attached to its right edge; the
    // up-down's id is editId + 1.
    DialogBuilder& SpinField(int editId, const DialogRect& at);
    DialogBuilder& DropList(int id, const DialogRect& at, int dropHeight = 80);
    // A tab strip that clips the controls lying on it.
    DialogBuilder& Tabs(int id, const DialogRect& at);
    // OK (default) and Cancel side by side, the pair's left edge at x.
    DialogBuilder& OkCancel(int x, int y);

    const codec::DialogTemplate& Template() const { return dialog_; }
    // The bytes DialogBoxIndirectParam takes.
    std::vector<uint8_t> Bytes() const { return codec::WriteDialogTemplate(dialog_); }

private:
    codec::DialogTemplate dialog_;
};

inline constexpr int kButtonWidth = 50;
inline constexpr int kButtonHeight = 14;
inline constexpr int kButtonGap = 6;

// The base of each IDE dialog. Run shows it modally; the procedure finds
// the object through DWLP_USER and catches every exception at its edge: an
// exception while opening ends the dialog with IDCANCEL, one while handling
// a command is reported and leaves the dialog open.
class ModalDialog {
public:
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    // IDOK, IDCANCEL or kDialogFailed.
    INT_PTR Run(HWND owner, const DialogBuilder& layout);

protected:
    HWND Handle() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    void End(INT_PTR result) { EndDialog(dialog_, result); }

    // Fill the controls from the model.
    virtual void OnInit() {}
    // A command other than OK and Cancel (a click, an edit change).
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    // OK was pressed: write the fields back; false keeps the dialog open.
    virtual bool OnOk() { return true; }
    // Any other message; nothing when the dialog leaves it to the system.
    virtual std::optional<INT_PTR> OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return std::nullopt;
    }

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_ = nullptr;
};

// ---- the control wrappers: each names one control of an open dialog.

class CheckBox {
public:
    CheckBox(HWND dialog, int id) : control_(GetDlgItem(dialog, id)) {}
    bool Checked() const { return SendMessageA(control_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetChecked(bool on) { SendMessageA(control_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

private:
    HWND control_;
};

class EditField {
public:
    EditField(HWND dialog, int id) : control_(GetDlgItem(dialog, id)) {}
    std::string Text() const;
    void SetText(const std::string& text) { SetWindowTextA(control_, text.c_str()); }
    // The field's number, or fallback when it holds none.
    int Int(int fallback) const;
    // The most characters the user can type.
    void Limit(size_t characters) { SendMessageA(control_, EM_LIMITTEXT, characters, 0); }

private:
    HWND control_;
};

// An up-down whose buddy is the edit before it.
class UpDown {
public:
    UpDown(HWND dialog, int id) : control_(GetDlgItem(dialog, id)) {}
    void SetRange(int low, int high) { SendMessageA(control_, UDM_SETRANGE32, low, high); }
    void SetValue(int value) { SendMessageA(control_, UDM_SETPOS32, 0, value); }
    // The buddy's number held within the range; fallback when it holds none.
    int Value(int fallback) const;

private:
    HWND control_;
};

class ComboList {
public:
    ComboList(HWND dialog, int id) : control_(GetDlgItem(dialog, id)) {}
    void Add(const std::string& text) {
        SendMessageA(control_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void Select(int index) { SendMessageA(control_, CB_SETCURSEL, index, 0); }
    // -1 when nothing is selected.
    int Selected() const { return static_cast<int>(SendMessageA(control_, CB_GETCURSEL, 0, 0)); }

private:
    HWND control_;
};

class TabStrip {
public:
    TabStrip(HWND dialog, int id) : control_(GetDlgItem(dialog, id)) {}
    void Add(const std::string& text);
    void Select(int index) { SendMessageA(control_, TCM_SETCURSEL, index, 0); }
    int Selected() const { return static_cast<int>(SendMessageA(control_, TCM_GETCURSEL, 0, 0)); }
    int Count() const { return static_cast<int>(SendMessageA(control_, TCM_GETITEMCOUNT, 0, 0)); }

private:
    HWND control_;
};

}  // namespace tallow::ide::win32
