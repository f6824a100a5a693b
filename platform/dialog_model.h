// A dialog as a model of its controls, built from a template by the codec:
// ids, classes, styles, texts, list and combo items with their selection,
// check states. It answers every DialogWindow call as the system's controls
// would, without a window: Linux without a desktop, and Windows when no
// window can be created. On a Linux desktop it is the state behind the
// widgets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/dialog_template.h"
#include "dialog_window.h"

namespace tallow::platform {

// Window styles of the controls the model tells apart.
using codec::kBsDefPushButton;
using codec::kBsPushButton;
using codec::kBsTypeMask;
using codec::kCbsSort;
using codec::kLbsExtendedSel;
using codec::kLbsMultipleSel;
using codec::kLbsSort;

// The predefined control classes, by their ordinals in a template.
enum class ControlClass { Button = 0x80, Edit, Static, ListBox, ScrollBar, ComboBox, Other };

// The class of a template item: an ordinal 0x80-0x85 or one of their names
// (any letter case); anything else is Other.
ControlClass ClassOfItem(const codec::NameOrOrdinal& windowClass);

// The highest check state a button of style accepts: 0 for push buttons and
// group boxes, 2 for three-state boxes, 1 for the rest. BM_SETCHECK clamps
// to it, reading the state as unsigned.
int MaxCheckState(uint32_t buttonStyle);

// The id of the template's default push button (BS_DEFPUSHBUTTON), else of
// its first push button, else 0: what an unattended execute answers. Read
// from the template because the dialog manager moves the default style with
// the focus once the dialog runs.
int DefaultPushButtonOf(const codec::DialogTemplate& dialog);

// How the system orders the items of a sorted list: letter case aside.
bool ListTextBefore(const std::string& a, const std::string& b);

struct ModelControl {
    int id = 0;
    ControlClass kind = ControlClass::Other;
    uint32_t style = 0;
    std::string text;
    std::vector<std::string> items;  // list and combo boxes
    std::vector<bool> selected;      // multiple-selection list boxes, one per item
    int current = -1;                // the selected item (single selection, combo boxes)
    int caret = 0;                   // the focus item of a multiple-selection list box
    int check = 0;                   // buttons

    bool MultipleSelection() const { return (style & (kLbsMultipleSel | kLbsExtendedSel)) != 0; }
};

class DialogModel final : public DialogWindow {
public:
    explicit DialogModel(const codec::DialogTemplate& dialog);

    bool Interactive() const override { return false; }
    Handle NativeHandle() const override { return handle_; }
    bool Visible() const override { return visible_; }
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& text) override { caption_ = text; }

    bool HasControl(int id) const override { return Find(id) != nullptr; }
    void FocusControl(int id) override;
    std::string ControlText(int id, size_t maxLength) const override;
    void SetControlText(int id, const std::string& text) override;

    void AddListItem(int id, const std::string& text) override;
    void ClearList(int id) override;
    void SelectListItem(int id, int index) override;
    std::string ListSelection(int id, size_t maxLength) const override;
    bool SelectedListItems(int id, size_t maxLength, std::vector<std::string>& out) const override;

    void AddComboItem(int id, const std::string& text) override;
    void ClearCombo(int id) override;
    void SelectComboItem(int id, int index) override;

    void SetCheck(int id, int state) override;
    int Check(int id) const override;
    int DefaultPushButton() const override { return defaultButton_; }

    // Without a screen: waitMode 0 marks the dialog visible and gives 1; a
    // modal execute gives the default push button's id at once.
    DialogExecution Execute(int waitMode, Handle& parentWindow) override;
    void Close(Handle& parentWindow) override;

    // The control with the keyboard focus (0: none), for tests.
    int FocusedControl() const { return focus_; }
    // The state of control id, null when the dialog has none: for a window
    // that shows the model on real widgets and reads the user's changes back.
    ModelControl* Control(int id) { return const_cast<ModelControl*>(Find(id)); }

private:
    const ModelControl* Find(int id) const;
    ModelControl* Find(int id, ControlClass kind);

    std::vector<ModelControl> controls_;  // in template (tab) order
    std::string caption_;
    Handle handle_ = nullptr;
    int defaultButton_ = 0;
    bool visible_ = false;
    int focus_ = 0;
};

}  // namespace tallow::platform
