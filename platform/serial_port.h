// A serial port opened by name: its line settings, raw writes, reads that
// return at once with what is waiting, and a wait for input that keeps the
// thread's window messages flowing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tallow::platform {

// Line settings as a script gives them.
struct LineSettings {
    std::string portName;  // as the port was opened, e.g. COM1
    int baud = 0;
    std::string parity;  // the bare word as written: n, e, o, m or s
    int dataBits = 0;
    int stopBits = 0;
};

// The device-control text that the Windows line-parameter parser reads:
// "NAME: baud=B parity=P data=D stop=S".
std::string LineSettingsText(const LineSettings& settings);

// n for a port name COMn (any case, no leading zero) with 1 <= n <= 256;
// 0 for every other name.
int ComPortNumber(std::string_view name);

// The device a port name opens. On Linux COM1 to COM256 (any case) are
// /dev/ttyS0 to /dev/ttyS255 and every other name is a path used as it is;
// on Windows they are \\.\COM1 to \\.\COM256 and other names stay.
std::string SerialDevicePath(const std::string& name);

class SerialPort {
public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device for reading and writing, for this object alone, with
    // reads that return at once. False when it cannot be opened.
    bool Open(const std::string& name);
    bool IsOpen() const;
    // Applies baud rate, parity, data and stop bits, reads that return at
    // once, and 1024-byte driver queues. False when the device or the
    // line-parameter parser refuses them.
    bool SetLine(const LineSettings& settings);
    // Writes size bytes: the number written, or -1 when the write fails.
    long Write(const void* data, size_t size);
    // Up to size bytes of what is waiting (0 when nothing is), or -1 when the
    // read fails.
    long Read(void* data, size_t size);
    // Returns once input is waiting or after milliseconds, whichever comes
    // first. Window messages of the thread are dispatched meanwhile; with 0
    // it only dispatches those already there.
    void AwaitInput(uint32_t milliseconds);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tallow::platform
