// The system clock and file times through the Win32 time functions. File
// times are kept in UTC and converted with the time-zone rules for their
// own date, so daylight saving is that of the date, not of today.
#include "platform/clock.h"

#include <windows.h>

#include "platform/confinement.h"
#include "platform/win32/unique_handle_win32.h"

namespace tallow::platform {

namespace {

// The years a SYSTEMTIME that becomes a FILETIME may hold.
constexpr int kFirstFileTimeYear = 1601;
constexpr int kLastFileTimeYear = 30827;

LocalTime FromSystemTime(const SYSTEMTIME& st) {
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// False for parts that no SYSTEMTIME holds; the functions that take it
// check the day against the month.
bool ToSystemTime(const LocalTime& t, SYSTEMTIME& st) {
    if (!InRange(t.year, kFirstFileTimeYear, kLastFileTimeYear) || !InRange(t.month, 1, 12) ||
        !InRange(t.day, 1, 31) || !InRange(t.hour, 0, 23) || !InRange(t.minute, 0, 59) ||
        !InRange(t.second, 0, 59))
        return false;
    st = SYSTEMTIME{};
    st.wYear = WORD(t.year);
    st.wMonth = WORD(t.month);
    st.wDay = WORD(t.day);
    st.wHour = WORD(t.hour);
    st.wMinute = WORD(t.minute);
    st.wSecond = WORD(t.second);
    return true;
}

class Win32Clock : public SystemClock {
public:
    LocalTime Now() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return FromSystemTime(st);
    }
    bool Set(const LocalTime& time) override {
        if (Confined()) return false;
        SYSTEMTIME st;
        return ToSystemTime(time, st) && SetLocalTime(&st);
    }
};

}  // namespace

SystemClock& OperatingSystemClock() {
    static Win32Clock clock;
    return clock;
}

bool FileModifiedTime(const std::string& path, LocalTime& time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    SYSTEMTIME utc, local;
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc)) return false;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return false;
    time = FromSystemTime(local);
    return true;
}

bool SetFileModifiedTime(const std::string& path, const LocalTime& time) {
    if (!PathAllowed(path)) return false;
    SYSTEMTIME local, utc;
    FILETIME written;
    if (!ToSystemTime(time, local) || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !SystemTimeToFileTime(&utc, &written))
        return false;
    // Directories open only with backup semantics.
    UniqueKernelHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return false;
    return SetFileTime(file.Get(), nullptr, nullptr, &written) != 0;
}

}  // namespace tallow::platform
