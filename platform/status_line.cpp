// The terminal form of the status window.
#include "status_line.h"

#include <algorithm>

namespace tallow::platform {

std::string FormatStatusLine(std::string_view title, std::string_view message, int percent, size_t width) {
    percent = std::clamp(percent, 0, 100);
    int filled = percent * kStatusBarCells / 100;
    std::string bar = "[" + std::string(size_t(filled), '#') +
                      std::string(size_t(kStatusBarCells - filled), '.') + "] " + std::to_string(percent) +
                      "%";
    std::string label(title);
    if (!message.empty()) label.append(label.empty() ? "" : ": ").append(message);
    if (!label.empty()) label += ' ';
    if (bar.size() >= width) return bar.substr(0, width);
    size_t room = width - bar.size();
    if (label.size() > room) {
        label.resize(room - 1);
        label += ' ';
    }
    return label + bar;
}

}  // namespace tallow::platform
