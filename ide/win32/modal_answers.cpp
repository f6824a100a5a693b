#include "ide/win32/modal_answers.h"

#include <cstdio>
#include <cstdlib>

namespace tallow::ide::win32 {

namespace {
ModalAnswers* installed = nullptr;
}

void SetModalAnswers(ModalAnswers* answers) {
    installed = answers;
}

ModalAnswers* CurrentModalAnswers() {
    return installed;
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (installed) return installed->MessageBox(text, caption, flags);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

namespace {

void WriteLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace

// The first button of each box type: what the box does when Enter is pressed.
int UnattendedAnswers::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    WriteLine(caption + ": " + text);
    switch (flags & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
    }
}

std::optional<std::string> UnattendedAnswers::FileDialog(const FileDialogRequest& request, bool /*save*/) {
    WriteLine(request.title + ": file chooser");
    return std::nullopt;
}

std::optional<std::string> UnattendedAnswers::NameDialog(const std::string& /*current*/) {
    WriteLine("Change Dialog Name: dialog");
    return std::nullopt;
}

bool UnattendedAnswers::PrintDialog(bool setup) {
    WriteLine(setup ? "Print Setup: dialog" : "Print: dialog");
    return false;
}

bool UnattendedRequested() {
    const char* value = std::getenv("TALLOW_UNATTENDED");
    return value && *value && std::string(value) != "0";
}

}  // namespace tallow::ide::win32
