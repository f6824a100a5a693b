// The about box's values, formatted.
#include "ide/model/about_texts.h"

#include <cstdio>

namespace tallow::ide {

namespace {
constexpr int kHoursPerHalfDay = 12;
}

std::string FormatEditorDate(const FileStamp& stamp) {
    int hour = stamp.hour % kHoursPerHalfDay;
    if (hour == 0) hour = kHoursPerHalfDay;
    const char* half = stamp.hour < kHoursPerHalfDay ? "AM" : "PM";
    char text[80];
    std::snprintf(text, sizeof text, "%d/%d/%d  %d:%d %s", stamp.month, stamp.day, stamp.year, hour,
                  stamp.minute, half);
    return text;
}

std::string FormatEngineVersion(uint32_t fileVersionMost) {
    char text[24];
    std::snprintf(text, sizeof text, "%u.%3.3u", static_cast<unsigned>(fileVersionMost >> 16),
                  static_cast<unsigned>(fileVersionMost & 0xFFFF));
    return text;
}

}  // namespace tallow::ide
