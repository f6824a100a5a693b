#include "ide/win32/modal_answers.h"

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

}  // namespace tallow::ide::win32
