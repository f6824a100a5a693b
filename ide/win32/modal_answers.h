// Every modal thing the IDE shows (message boxes, file choosers, its own
// small dialogs) goes through these functions. A test installs ModalAnswers
// to answer them without a window and to see what was asked; without one,
// the real box or dialog is shown.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ide/model/document_host.h"

namespace tallow::ide::win32 {

class ModalAnswers {
public:
    virtual ~ModalAnswers() = default;
    // The button id (IDOK, IDYES, ...) the box returns.
    virtual int MessageBox(const std::string& text, const std::string& caption, UINT flags) = 0;
    // The chosen path, or nothing for Cancel.
    virtual std::optional<std::string> FileDialog(const FileDialogRequest& request, bool save) = 0;
    // The name dialog (rename a dialog): the entered text, or nothing for Cancel.
    virtual std::optional<std::string> NameDialog(const std::string& current) = 0;
};

// Installs the answers (nullptr: show the real windows again).
void SetModalAnswers(ModalAnswers* answers);
ModalAnswers* CurrentModalAnswers();

// MessageBoxA or the installed answer.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

}  // namespace tallow::ide::win32
