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

enum DialogStatement : int {
    kDlgSetCaption = 1,
    kDlgSetFocus,
    kDlgSetText,
    kDlgSetTextArray,
    kDlgGetTextArray,
    kDlgAddList,
    kDlgAddListArray,
    kDlgGetListArray,
    kDlgSelectListIndex,
    kDlgClearList,
    kDlgAddCombo,
    kDlgAddComboArray,
    kDlgSelectComboIndex,
    kDlgClearCombo,
    kDlgSetCheck,
    kDlgClose,
    kDialogStatementCount = kDlgClose
};
enum DialogNumFunction : int { kDlgExecute = 1, kDlgGetCheck };
enum DialogStringFunction : int { kDlgGetText = 1, kDlgGetList, kDlgGetCombo };

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

    void ProcessStatement(int id) override;
    double ProcessNumFunction(int id) override;
    std::string ProcessStringFunction(int id) override;
    // title (the caption) and handle (read-only) are properties.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;

    platform::DialogWindow* Window() const { return window_.get(); }

private:
    double Execute();
    int ReadId();
    // Reads the id and the array name of the array members.
    void FillFromArray(int id, void (platform::DialogWindow::*add)(int, const std::string&));

    std::unique_ptr<platform::DialogWindow> window_;
};

}  // namespace tallow
