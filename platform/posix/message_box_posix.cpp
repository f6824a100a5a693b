// Message boxes on Linux: shown by the desktop module when a desktop is in
// reach; otherwise written to standard error and answered with the first
// button.
#include <string>

#include "gui_module_posix.h"
#include "platform/message_box.h"

namespace tallow::platform {

int ShowMessageBox(Handle, std::string_view text, std::string_view caption, unsigned type) {
    if (ObserveBox(text, caption)) return FirstButtonResult(type);
    if (const TallowGuiTable* gui = GuiModule()) {
        std::string t(text), c(caption);
        if (int result = gui->MessageBox(t.c_str(), c.c_str(), type)) return result;
    }
    WriteBoxToStdError(text, caption);
    return FirstButtonResult(type);
}

}  // namespace tallow::platform
