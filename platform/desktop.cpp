// The parts of the desktop module that need no system call: the line a
// chooser leaves when it is not shown, and the session-ending seam.
#include "desktop.h"

#include <atomic>

#include "message_box.h"

namespace tallow::platform {

namespace {
std::atomic<SessionEnder> gSessionEnder{nullptr};
}  // namespace

void ReportChooserCancelled(std::string_view caption, std::string_view what) {
    std::string text(what);
    text += " cancelled";
    if (!ObserveBox(text, caption)) WriteBoxToStdError(text, caption);
}

void SetSessionEnder(SessionEnder ender) {
    gSessionEnder = ender;
}

SessionEnder CurrentSessionEnder() {
    return gSessionEnder;
}

}  // namespace tallow::platform
