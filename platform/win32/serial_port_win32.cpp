// Serial ports on Windows: the COM device opened with CreateFileA, its line
// set with BuildCommDCBA and SetCommState, reads that return at once through
// SetCommTimeouts, 1024-byte queues through SetupComm. A wait looks for
// input by reading one byte ahead, which the next read then gives first.
#include <windows.h>

#include "platform/serial_port.h"
#include "platform/win32/message_pump_win32.h"

namespace tallow::platform {

namespace {

// The driver's input and output queues, in bytes.
constexpr DWORD kQueueBytes = 1024;

}  // namespace

struct SerialPort::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool held = false;  // a byte was read ahead
    char heldByte = 0;

    State() = default;
    ~State() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // A read takes what is waiting and returns at once; the write time-outs
    // stay as they are.
    bool ReadAtOnce() {
        COMMTIMEOUTS timeouts;
        if (!GetCommTimeouts(handle, &timeouts)) return false;
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = 0;
        timeouts.ReadTotalTimeoutConstant = 0;
        return SetCommTimeouts(handle, &timeouts) != 0;
    }
    bool LookAhead() {
        DWORD n = 0;
        if (!held && ReadFile(handle, &heldByte, 1, &n, nullptr) && n == 1) held = true;
        return held;
    }
};

// Only COM1 to COM9 are device names wherever they appear; a higher number
// opens through the device namespace or it would name a file.
std::string SerialDevicePath(const std::string& name) {
    int number = ComPortNumber(name);
    return number ? "\\\\.\\COM" + std::to_string(number) : name;
}

SerialPort::SerialPort() : state_(std::make_unique<State>()) {}
SerialPort::~SerialPort() = default;

// The read time-outs are set at once, so that no read waits for input
// before setstate has run; a device that has none is read as it comes.
bool SerialPort::Open(const std::string& name) {
    state_ = std::make_unique<State>();
    HANDLE handle = CreateFileA(SerialDevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    state_->handle = handle;
    state_->ReadAtOnce();
    return true;
}

bool SerialPort::IsOpen() const {
    return state_->handle != INVALID_HANDLE_VALUE;
}

bool SerialPort::SetLine(const LineSettings& settings) {
    if (!IsOpen()) return false;
    std::string text = LineSettingsText(settings);
    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(state_->handle, &dcb) || !BuildCommDCBA(text.c_str(), &dcb) ||
        !SetCommState(state_->handle, &dcb) || !state_->ReadAtOnce())
        return false;
    SetupComm(state_->handle, kQueueBytes, kQueueBytes);
    return true;
}

long SerialPort::Write(const void* data, size_t size) {
    DWORD written = 0;
    if (!IsOpen() || !WriteFile(state_->handle, data, DWORD(size), &written, nullptr)) return -1;
    return long(written);
}

long SerialPort::Read(void* data, size_t size) {
    if (!IsOpen()) return -1;
    char* out = static_cast<char*>(data);
    size_t done = 0;
    if (size && state_->held) {
        out[done++] = state_->heldByte;
        state_->held = false;
    }
    DWORD n = 0;
    if (done < size && !ReadFile(state_->handle, out + done, DWORD(size - done), &n, nullptr))
        return done ? long(done) : -1;
    return long(done + n);
}

void SerialPort::AwaitInput(uint32_t milliseconds) {
    if (!IsOpen()) return WaitPumpingUntil(milliseconds, [] { return false; });
    WaitPumpingUntil(milliseconds, [this] { return state_->LookAhead(); });
}

}  // namespace tallow::platform
