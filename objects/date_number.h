// Date-time numbers: a double whose integer part is a day number (1 January
// of year 0 is day 1, in the proleptic Gregorian calendar, where year 0 is a
// leap year) and whose fraction is the time of day as a part of 86400
// seconds. Pure arithmetic, the same on every target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallow::datetime {

constexpr int kSecondsPerDay = 86400;
// The day number of 1 January 1970, where the system clocks count from.
constexpr int64_t kUnixEpochDay = 719529;
// 2^53: from here on a double no longer holds every whole day, so a number
// this far from 0 either way (or not a number at all) names no date. It
// splits into parts that are all 0, whose names are empty.
constexpr double kMaxDayNumber = 9007199254740992.0;

struct CivilDate {
    int64_t year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
};

// A date-time number split into its parts. All 0 for a number that names no
// date (see kMaxDayNumber).
struct DateTimeParts {
    int64_t year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;     // 0 to 23
    int minute = 0;   // 0 to 59
    int second = 0;   // 0 to 59
    int weekday = 0;  // 1 for Sunday to 7 for Saturday
};

// The day number of a date. Days beyond the month's length count on into
// the next months, and so do days before the first (day 0 is the month's
// eve); months beyond 12 or below 1 carry into the following or earlier
// years. Exact for every year an int32 holds.
int64_t DayNumber(int64_t year, int64_t month, int64_t day);

// The date of a day number: the exact inverse of DayNumber for every day
// number, before year 0 too.
CivilDate CivilFromDayNumber(int64_t dayNumber);

// The fraction of a day that hour:minute:second is, with every part used as
// it is (values outside their usual ranges count on or back).
double TimeOfDay(int64_t hour, int64_t minute, int64_t second);

// Splits a date-time number. The date is that of its integer part
// (truncated toward zero); the time is the fraction's magnitude rounded to
// the nearest second, so a negative number counts its time of day forward
// from the start of its day as a positive one does. A time that rounds to
// 24:00:00 is 00:00:00 of the next day (the day after in the direction of
// the number's sign).
DateTimeParts SplitDateTime(double value);

// Weekday of a day number, 1 for Sunday to 7 for Saturday.
int WeekdayOf(int64_t dayNumber);

// The day's name for weekday 1 (Sunday) to 7, and the month's for month 1
// to 12; full or in three letters. Empty for any other number.
std::string_view DayName(int weekday, bool abbreviated);
std::string_view MonthName(int month, bool abbreviated);

// The date-time number as text after pattern: "#" or "$" and the letter
// after it form a field (#Y year, #y year in two digits, #m month, #d day,
// #H hour 0-23, #h hour 1-12, #n minute, #s second, $D and $d day name,
// $M and $m month name, $P AM/PM, $p am/pm); a marker followed by anything
// else gives that character, a marker at the end nothing; every other
// character is copied.
std::string FormatDateTime(double value, std::string_view pattern);

}  // namespace tallow::datetime
