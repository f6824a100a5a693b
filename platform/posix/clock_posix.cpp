// The system clock and file times on Linux, through the C library's local
// time conversions (the TZ rules of the process).
#include "platform/clock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <climits>

#include "platform/confinement.h"

namespace tallow::platform {

namespace {

LocalTime FromTm(const struct tm& tm) {
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    return t;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// The moment a local time names, daylight saving decided by the rules for
// that date; false for parts out of their ranges or a time time_t cannot hold.
bool ToTimeT(const LocalTime& t, time_t& result) {
    if (!InRange(t.month, 1, 12) || !InRange(t.day, 1, 31) || !InRange(t.hour, 0, 23) ||
        !InRange(t.minute, 0, 59) || !InRange(t.second, 0, 59))
        return false;
    if (t.year < INT_MIN + 1900) return false;  // tm_year would overflow
    struct tm tm = {};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    errno = 0;
    result = ::mktime(&tm);
    // -1 is also one second before 1970: only errno tells them apart.
    return !(result == time_t(-1) && errno != 0);
}

bool LocalTimeOf(time_t moment, LocalTime& t) {
    struct tm tm;
    if (!::localtime_r(&moment, &tm)) return false;
    t = FromTm(tm);
    return true;
}

class PosixClock : public SystemClock {
public:
    LocalTime Now() override {
        LocalTime t;
        LocalTimeOf(::time(nullptr), t);
        return t;
    }
    bool Set(const LocalTime& time) override {
        if (Confined()) return false;
        time_t moment;
        if (!ToTimeT(time, moment)) return false;
        struct timespec ts = {moment, 0};
        return ::clock_settime(CLOCK_REALTIME, &ts) == 0;
    }
};

}  // namespace

SystemClock& OperatingSystemClock() {
    static PosixClock clock;
    return clock;
}

bool FileModifiedTime(const std::string& path, LocalTime& time) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    return LocalTimeOf(st.st_mtime, time);
}

bool SetFileModifiedTime(const std::string& path, const LocalTime& time) {
    if (!PathAllowed(path)) return false;
    time_t moment;
    if (!ToTimeT(time, moment)) return false;
    struct timespec times[2] = {{0, UTIME_OMIT}, {moment, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace tallow::platform
