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
    // The printer set-up (setup) or print dialog: true for OK. Answering
    // OK to the print dialog prints nothing: there is no printer to use.
    virtual bool PrintDialog(bool /*setup*/) { return false; }
};

// The answers of an unattended run (TALLOW_UNATTENDED set): each box, chooser
// and dialog writes one line to standard error and takes its default answer
// (a box its first button, a chooser or dialog Cancel).
class UnattendedAnswers : public ModalAnswers {
public:
    int MessageBox(const std::string& text, const std::string& caption, UINT flags) override;
    std::optional<std::string> FileDialog(const FileDialogRequest& request, bool save) override;
    std::optional<std::string> NameDialog(const std::string& current) override;
    bool PrintDialog(bool setup) override;
};

// Whether TALLOW_UNATTENDED asks for an unattended run (set, and not "" or "0").
bool UnattendedRequested();

// Installs the answers (nullptr: show the real windows again).
void SetModalAnswers(ModalAnswers* answers);
ModalAnswers* CurrentModalAnswers();

// MessageBoxA or the installed answer.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

}  // namespace tallow::ide::win32
