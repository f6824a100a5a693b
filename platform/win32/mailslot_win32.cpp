// Mailslots on Windows: CreateMailslotA with any message size and reads that
// return at once for the reader, CreateFileA on the name for a writer. A wait
// watches the count of waiting messages (GetMailslotInfo).
#include <windows.h>

#include "platform/mailslot.h"
#include "platform/win32/message_pump_win32.h"

namespace tallow::platform {

struct Mailslot::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool missed = false;    // the last Read found nothing it could take
    DWORD countAtMiss = 0;  // the messages waiting then

    State() = default;
    ~State() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // The messages waiting; 0 for a writer's handle.
    DWORD Waiting() const {
        DWORD count = 0;
        return GetMailslotInfo(handle, nullptr, nullptr, &count, nullptr) ? count : 0;
    }
};

Mailslot::Mailslot() : state_(std::make_unique<State>()) {}
Mailslot::~Mailslot() = default;

bool Mailslot::Create(const std::string& name) {
    state_ = std::make_unique<State>();
    state_->handle = CreateMailslotA(name.c_str(), 0, 0, nullptr);
    return IsOpen();
}

bool Mailslot::Open(const std::string& name) {
    state_ = std::make_unique<State>();
    state_->handle = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
}

bool Mailslot::IsOpen() const {
    return state_->handle != INVALID_HANDLE_VALUE;
}

bool Mailslot::Write(const void* data, size_t size) {
    DWORD written = 0;
    return IsOpen() && WriteFile(state_->handle, data, DWORD(size), &written, nullptr) && written == size;
}

size_t Mailslot::WriteByteMessages(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    size_t sent = 0;
    while (sent < size && Write(bytes + sent, 1))
        ++sent;
    return sent;
}

// A message longer than size makes ReadFile fail and stays in the mailslot.
long Mailslot::Read(void* data, size_t size) {
    if (!IsOpen()) return -1;
    DWORD before = state_->Waiting();
    DWORD n = 0;
    if (ReadFile(state_->handle, data, DWORD(size), &n, nullptr)) {
        state_->missed = false;
        return long(n);
    }
    state_->missed = true;
    state_->countAtMiss = before;
    return -1;
}

void Mailslot::AwaitMessage(uint32_t milliseconds) {
    State& s = *state_;
    WaitPumpingUntil(milliseconds, [&s] {
        DWORD count = s.Waiting();
        return count > 0 && (!s.missed || count > s.countAtMiss);
    });
}

}  // namespace tallow::platform
