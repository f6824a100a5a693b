// The parts of message boxes that need no system call: the unattended
// setting and the standard-error form of a box.
#include "message_box.h"

#include <atomic>
#include <cstdlib>
#include <string>

#include "console.h"

namespace tallow::platform {

namespace {
// Programs started without our command line are made unattended by the
// environment: TALLOW_UNATTENDED set to anything but "" or "0".
bool UnattendedFromEnvironment() {
    const char* value = std::getenv("TALLOW_UNATTENDED");
    return value && *value && std::string_view(value) != "0";
}
std::atomic<bool> gUnattended{UnattendedFromEnvironment()};
std::atomic<bool> gErrorsToStdError{false};
std::atomic<BoxObserver> gObserver{nullptr};
std::atomic<void*> gObserverContext{nullptr};
}  // namespace

void SetBoxObserver(BoxObserver observer, void* context) {
    gObserverContext = context;
    gObserver = observer;
}

bool HasBoxObserver() {
    return gObserver.load() != nullptr;
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

void SetErrorBoxesToStdError(bool on) {
    gErrorsToStdError = on;
}
bool ErrorBoxesToStdError() {
    return gErrorsToStdError;
}

int ShowErrorMessage(Handle owner, std::string_view text, std::string_view caption, unsigned type,
                     bool toStdError) {
    if (!toStdError || HasBoxObserver()) return ShowMessageBox(owner, text, caption, type);
    WriteBoxToStdError(text, caption);
    return FirstButtonResult(type);
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
