// The clipboard on Linux belongs to the desktop session: it is reached
// through the desktop module when a desktop is in reach; otherwise every
// call says it cannot open it.
#include "gui_module_posix.h"
#include "platform/clipboard.h"

namespace tallow::platform {

namespace {

// The module's answers to Get.
constexpr int kGuiNoClipboard = 1;
constexpr int kGuiNoData = 2;

}  // namespace

ClipboardStatus PutClipboardData(unsigned format, std::span<const uint8_t> bytes) {
    const TallowGuiTable* gui = GuiModule();
    if (!gui || !gui->ClipboardPut(format, bytes.data(), bytes.size())) return ClipboardStatus::kCannotOpen;
    return ClipboardStatus::kOk;
}

ClipboardStatus GetClipboardData(unsigned format, size_t maxBytes, std::vector<uint8_t>& out) {
    const TallowGuiTable* gui = GuiModule();
    if (!gui) return ClipboardStatus::kCannotOpen;
    char* bytes = nullptr;
    size_t length = 0;
    int status = gui->ClipboardGet(format, &bytes, &length);
    if (status == kGuiNoClipboard) return ClipboardStatus::kCannotOpen;
    if (status == kGuiNoData || !bytes) return ClipboardStatus::kNoData;
    out.assign(bytes, bytes + (length < maxBytes ? length : maxBytes));
    gui->FreeText(bytes);
    return ClipboardStatus::kOk;
}

ClipboardStatus ClipboardHasFormat(unsigned format, bool& available) {
    const TallowGuiTable* gui = GuiModule();
    available = gui && gui->ClipboardHas(format);
    return gui ? ClipboardStatus::kOk : ClipboardStatus::kCannotOpen;
}

ClipboardStatus RegisterClipboardFormatName(const std::string& name, unsigned& format) {
    const TallowGuiTable* gui = GuiModule();
    format = gui ? gui->ClipboardRegister(name.c_str()) : 0;
    return gui ? ClipboardStatus::kOk : ClipboardStatus::kCannotOpen;
}

}  // namespace tallow::platform
