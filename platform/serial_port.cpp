// What serial ports do alike on every system: the line-parameter text and
// the reading of COM port names.
#include "platform/serial_port.h"

#include <algorithm>

namespace tallow::platform {

namespace {

// COM1 to COM256 are the names that stand for the machine's serial devices.
constexpr int kHighestComPort = 256;
constexpr std::string_view kComPrefix = "com";
constexpr size_t kMaxComDigits = 3;

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

std::string LineSettingsText(const LineSettings& s) {
    return s.portName + ": baud=" + std::to_string(s.baud) + " parity=" + s.parity +
           " data=" + std::to_string(s.dataBits) + " stop=" + std::to_string(s.stopBits);
}

int ComPortNumber(std::string_view name) {
    size_t digits = name.size() - std::min(name.size(), kComPrefix.size());
    if (digits == 0 || digits > kMaxComDigits) return 0;
    for (size_t i = 0; i < kComPrefix.size(); ++i)
        if (AsciiLower(name[i]) != kComPrefix[i]) return 0;
    if (name[kComPrefix.size()] == '0') return 0;
    int number = 0;
    for (char c : name.substr(kComPrefix.size())) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number <= kHighestComPort ? number : 0;
}

}  // namespace tallow::platform
