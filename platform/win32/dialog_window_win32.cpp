// Dialogs on Windows: for now the model of their controls.
#include <windows.h>

#include "platform/dialog_model.h"

namespace tallow::platform {

std::unique_ptr<DialogWindow> CreateDialogWindow(std::span<const uint8_t> templateBytes, Handle*) {
    codec::DialogTemplate dialog;
    if (!codec::ReadDialogTemplate(templateBytes, dialog)) return nullptr;
    return std::make_unique<DialogModel>(dialog);
}

}  // namespace tallow::platform
