// The parts of message boxes that need no system call: the unattended
// setting and the standard-error form of a box.
#include "message_box.h"

#include <atomic>
#include <string>

#include "console.h"

namespace tallow::platform {

namespace {
std::atomic<bool> gUnattended{false};
std::atomic<BoxObserver> gObserver{nullptr};
std::atomic<void*> gObserverContext{nullptr};
}  // namespace

void SetBoxObserver(BoxObserver observer, void* context) {
    gObserverContext = context;
    gObserver = observer;
}

bool ObserveBox(std::string_view text, std::string_view caption) {
    BoxObserver observer = gObserver;
    if (!observer) return false;
    observer(gObserverContext, text, caption);
    return true;
}

void SetUnattended(bool unattended) {
    gUnattended = unattended;
}
bool Unattended() {
    return gUnattended;
}

int FirstButtonResult(unsigned type) {
    switch (type & 0xF) {
        case kMbAbortRetryIgnore:
            return kIdAbort;
        case kMbYesNoCancel:
        case kMbYesNo:
            return kIdYes;
        case kMbRetryCancel:
            return kIdRetry;
        default:
            return kIdOk;
    }
}

void WriteBoxToStdError(std::string_view text, std::string_view caption) {
    std::string line;
    line.reserve(caption.size() + text.size() + 3);
    line.append(caption).append(": ").append(text).push_back('\n');
    WriteBytes(StdError(), line.data(), line.size());
}

}  // namespace tallow::platform
