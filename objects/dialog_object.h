// A designed dialog as a script object: `name.member` fills its controls,
// shows it and reads what the user left in them. The code runner creates one
// per dialog of a code file and owns it; the object owns its window.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "expr/script_object.h"
#include "platform/dialog_window.h"

namespace tallow {

// gettext, getlist, getcombo and each item of getlistarray read at most
// this many characters: the fixed buffer the dialog functions have always
// read into.
constexpr size_t kMaxDialogText = 255;

// The lines of a control's text as gettextarray splits it: line feeds are
// dropped, every carriage return ends a line (an empty one too), and the
// last line counts only when it is not empty.
std::vector<std::string> SplitDialogLines(const std::string& text);

class DialogObject : public ScriptObject {
public:
    // Registers under name; window may be null (a dialog without a window,
    // whose execute reports "Dialog not initialized!").
    DialogObject(Program& program, std::string name, std::unique_ptr<platform::DialogWindow> window);
    ~DialogObject() override;

    // title (the caption) and handle (read-only) are properties.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;

    platform::DialogWindow* Window() const { return window_.get(); }

    // The members of its table, one per id; each reads its own parameters.
    void SetCaption();
    void SetFocus();
    void SetText();
    void SetTextArray();
    void GetTextArray();
    void AddList();
    void AddListArray();
    void GetListArray();
    void SelectListIndex();
    void ClearList();
    void AddCombo();
    void AddComboArray();
    void SelectComboIndex();
    void ClearCombo();
    void SetCheck();
    void Close();
    double Execute();
    double GetCheck();
    std::string GetText();
    std::string GetList();
    std::string GetCombo();

private:
    using ControlAction = void (platform::DialogWindow::*)(int);
    using TextAction = void (platform::DialogWindow::*)(int, const std::string&);
    using IndexAction = void (platform::DialogWindow::*)(int, int);

    // Reads the control id that every member but close and setcaption takes
    // first; the window when it has that control, else null.
    platform::DialogWindow* ReadControl(int& control);
    // member numexpr, then act on the control.
    void OnControl(ControlAction act);
    // member numexpr "," strexpr, then act with the text.
    void WithText(TextAction act);
    // member numexpr "," numexpr, then act with the index.
    void WithIndex(IndexAction act);
    // member numexpr "," word: adds every element of the string array, in
    // order.
    void FillFromArray(TextAction add);
    // The array name after the control id.
    std::string ReadArrayName();
    // member "(" numexpr ")": what read gives for the control, "" when the
    // dialog has no such control.
    std::string ReadText(std::string (platform::DialogWindow::*read)(int, size_t) const);

    std::unique_ptr<platform::DialogWindow> window_;
};

}  // namespace tallow
