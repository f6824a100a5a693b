// A designed dialog's window: created hidden from the bytes of a classic
// in-memory dialog template, filled and read by control id, shown and waited
// for. On Windows a real modeless dialog; elsewhere (and on Windows when no
// window can be created) a model of its controls that answers the same calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "handles.h"

namespace tallow::platform {

// How execute ended: its value, and whether a quit message destroyed the
// window meanwhile (the dialog then has no window any more).
struct DialogExecution {
    int value = 0;
    bool windowGone = false;
};

// Calls with the id of a control that the dialog does not have do nothing
// (and give "" or 0); HasControl tells the two apart.
class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // True for a window a user can see and answer; false for the model,
    // whose execute the caller answers as an unattended run does.
    virtual bool Interactive() const = 0;
    // The window handle (on Windows the HWND; the model's a number of its
    // own, never null).
    virtual Handle NativeHandle() const = 0;
    virtual bool Visible() const = 0;

    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& text) = 0;

    virtual bool HasControl(int id) const = 0;
    virtual void FocusControl(int id) = 0;
    // The control's text, cut to maxLength characters.
    virtual std::string ControlText(int id, size_t maxLength) const = 0;
    virtual void SetControlText(int id, const std::string& text) = 0;

    // List boxes. Adding follows the list's own order (LBS_SORT sorts).
    virtual void AddListItem(int id, const std::string& text) = 0;
    virtual void ClearList(int id) = 0;
    // Multiple or extended selection: adds index to the selection; else
    // index becomes the only selection (-1: none).
    virtual void SelectListItem(int id, int index) = 0;
    // The text of the current selection, cut to maxLength; "" when none.
    virtual std::string ListSelection(int id, size_t maxLength) const = 0;
    // The texts of every selected item in index order, each cut to
    // maxLength. False (out untouched) when the control refuses to give a
    // selection count: a single-selection list box, or no control of that
    // id. A control of another class answers 0: true, with no items.
    virtual bool SelectedListItems(int id, size_t maxLength, std::vector<std::string>& out) const = 0;

    // Combo boxes; selecting an item (-1: none) makes its text the box's.
    virtual void AddComboItem(int id, const std::string& text) = 0;
    virtual void ClearCombo(int id) = 0;
    virtual void SelectComboItem(int id, int index) = 0;

    // Buttons: 0 unchecked, 1 checked, 2 indeterminate; other controls 0.
    virtual void SetCheck(int id, int state) = 0;
    virtual int Check(int id) const = 0;

    // The id of the default push button (BS_DEFPUSHBUTTON), else of the first
    // push button in tab order, else 0: what an unattended execute answers.
    virtual int DefaultPushButton() const = 0;

    // Shows the dialog with the focus on its first control, as the owner of
    // the program's later windows (parentWindow, restored when it hides).
    // waitMode 0 returns 1 at once; otherwise it waits, with the thread's
    // messages flowing, until a push button ends the wait (1: hidden again,
    // above 1: left visible) or the close box hides it; the value is the
    // push button's id, or 0.
    virtual DialogExecution Execute(int waitMode, Handle& parentWindow) = 0;
    // Ends an execute in progress: hides the dialog and gives parentWindow
    // back its value from before the execute.
    virtual void Close(Handle& parentWindow) = 0;
};

// A hidden dialog from template bytes, owned by *parentWindow as it is now;
// parentWindow is the owning program's slot, which the dialog restores when
// it hides. Null when the bytes are no valid template. The model stands in
// when the system cannot create the window.
std::unique_ptr<DialogWindow> CreateDialogWindow(std::span<const uint8_t> templateBytes,
                                                 Handle* parentWindow);

}  // namespace tallow::platform
