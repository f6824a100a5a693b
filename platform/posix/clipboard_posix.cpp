// Linux has no clipboard to reach yet: it belongs to a desktop session,
// which the engine does not talk to. Every call says it cannot open it.
#include "platform/clipboard.h"

namespace tallow::platform {

ClipboardStatus PutClipboardData(unsigned, std::span<const uint8_t>) {
    return ClipboardStatus::kCannotOpen;
}

ClipboardStatus GetClipboardData(unsigned, size_t, std::vector<uint8_t>&) {
    return ClipboardStatus::kCannotOpen;
}

ClipboardStatus ClipboardHasFormat(unsigned, bool& available) {
    available = false;
    return ClipboardStatus::kCannotOpen;
}

ClipboardStatus RegisterClipboardFormatName(const std::string&, unsigned& format) {
    format = 0;
    return ClipboardStatus::kCannotOpen;
}

}  // namespace tallow::platform
