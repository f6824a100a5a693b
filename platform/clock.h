// The system clock and the modification times of files, in local time. The
// clock object reads and sets the current time through Clock(), which tests
// replace with a clock of their own, so that no test sets the machine's.
#pragma once

#include <string>

namespace tallow::platform {

// A calendar time in the local time zone, to the second.
struct LocalTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class SystemClock {
public:
    virtual ~SystemClock() = default;
    // The current local time (milliseconds dropped).
    virtual LocalTime Now() = 0;
    // Sets the current local time; false when the system refuses (no right
    // to, a time it cannot hold, or a confined process).
    virtual bool Set(const LocalTime& time) = 0;
};

// The clock in use: the one a test installed, else the system's.
SystemClock& Clock();
// Makes clock the clock in use for the whole process; null brings back the
// system's. The caller keeps ownership and must install null before the
// clock goes away.
void InstallClock(SystemClock* clock);
// The system's own clock.
SystemClock& OperatingSystemClock();

// The last modification time of a file or directory, in local time; false
// when its status cannot be read.
bool FileModifiedTime(const std::string& path, LocalTime& time);
// Sets it, daylight saving decided by the system for that date; the last
// access time stays. False when the time cannot be set or the path is not
// allowed (confinement).
bool SetFileModifiedTime(const std::string& path, const LocalTime& time);

}  // namespace tallow::platform
