// The clipboard on Linux belongs to the desktop session: it is reached
// through the desktop module when a desktop is in reach. Without one, the
// calls that open the clipboard say they cannot; format names still get
// numbers (from a table of this process) and no format is available.
#include <mutex>
#include <vector>

#include "gui_module_posix.h"
#include "platform/clipboard.h"

namespace tallow::platform {

namespace {

// The module's answers to Get.
constexpr int kGuiNoClipboard = 1;
constexpr int kGuiNoData = 2;

// Registered names get numbers from here on, as on Windows and in the
// desktop module.
constexpr unsigned kFirstRegisteredFormat = 0xC000;
// Windows has room for this many registered names; past it registration fails.
constexpr size_t kMaxRegisteredFormats = 0x4000;

// The number of a name registered without a desktop: the same name, the
// same number, for the life of the process; 0 for "" and past the last.
unsigned RegisterWithoutDesktop(const std::string& name) {
    static std::mutex lock;
    static std::vector<std::string> names;  // index + kFirstRegisteredFormat
    if (name.empty()) return 0;
    std::lock_guard hold(lock);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return unsigned(kFirstRegisteredFormat + i);
    if (names.size() >= kMaxRegisteredFormats) return 0;
    names.push_back(name);
    return unsigned(kFirstRegisteredFormat + names.size() - 1);
}

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

bool ClipboardHasFormat(unsigned format) {
    const TallowGuiTable* gui = GuiModule();
    return gui && gui->ClipboardHas(format);
}

unsigned RegisterClipboardFormatName(const std::string& name) {
    const TallowGuiTable* gui = GuiModule();
    return gui ? gui->ClipboardRegister(name.c_str()) : RegisterWithoutDesktop(name);
}

}  // namespace tallow::platform
