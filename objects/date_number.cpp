// Day numbers, their inverse, splitting and formatting of date-time numbers.
#include "date_number.h"

#include <cmath>
#include <cstdio>

namespace tallow::datetime {

namespace {

// Division and remainder rounded toward minus infinity, so that days and
// years before year 0 follow the same rule as those after it.
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
constexpr int64_t FloorMod(int64_t a, int64_t b) {
    return a - FloorDiv(a, b) * b;
}
constexpr int64_t CeilDiv(int64_t a, int64_t b) {
    return -FloorDiv(-a, b);
}

constexpr bool IsLeapYear(int64_t year) {
    return FloorMod(year, 4) == 0 && (FloorMod(year, 100) != 0 || FloorMod(year, 400) == 0);
}

// Days of the months before each month in a common year.
constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

constexpr int64_t kDaysPer400Years = 146097;
// Day number of 1 March of year 0. Counted from a 1 March, a year ends with
// the leap day, which makes the inverse a matter of plain division.
constexpr int64_t kFirstMarchOfYear0 = 61;

constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
constexpr const char* kShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
constexpr const char* kShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string TwoDigits(int64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02lld", static_cast<long long>(value));
    return buffer;
}

int TwelveHour(int hour) {
    int h = hour % 12;
    return h == 0 ? 12 : h;
}

// One field of a format pattern: its marker, its letter and its text.
struct FormatField {
    char marker;
    char letter;
    std::string (*text)(const DateTimeParts&);
};

constexpr FormatField kFormatFields[] = {
    {'#', 'Y', [](const DateTimeParts& t) { return TwoDigits(t.year); }},
    {'#', 'y', [](const DateTimeParts& t) { return TwoDigits(FloorMod(t.year, 100)); }},
    {'#', 'm', [](const DateTimeParts& t) { return TwoDigits(t.month); }},
    {'#', 'd', [](const DateTimeParts& t) { return TwoDigits(t.day); }},
    {'#', 'H', [](const DateTimeParts& t) { return TwoDigits(t.hour); }},
    {'#', 'h', [](const DateTimeParts& t) { return TwoDigits(TwelveHour(t.hour)); }},
    {'#', 'n', [](const DateTimeParts& t) { return TwoDigits(t.minute); }},
    {'#', 's', [](const DateTimeParts& t) { return TwoDigits(t.second); }},
    {'$', 'D', [](const DateTimeParts& t) { return std::string(DayName(t.weekday, false)); }},
    {'$', 'd', [](const DateTimeParts& t) { return std::string(DayName(t.weekday, true)); }},
    {'$', 'M', [](const DateTimeParts& t) { return std::string(MonthName(t.month, false)); }},
    {'$', 'm', [](const DateTimeParts& t) { return std::string(MonthName(t.month, true)); }},
    {'$', 'P', [](const DateTimeParts& t) { return std::string(t.hour < 12 ? "AM" : "PM"); }},
    {'$', 'p', [](const DateTimeParts& t) { return std::string(t.hour < 12 ? "am" : "pm"); }},
};

const FormatField* FindField(char marker, char letter) {
    for (const FormatField& f : kFormatFields)
        if (f.marker == marker && f.letter == letter) return &f;
    return nullptr;
}

}  // namespace

int64_t DayNumber(int64_t year, int64_t month, int64_t day) {
    year += FloorDiv(month - 1, 12);
    int monthIndex = int(FloorMod(month - 1, 12));
    int64_t days = 365 * year + CeilDiv(year, 4) - CeilDiv(year, 100) + CeilDiv(year, 400);
    days += kDaysBeforeMonth[monthIndex];
    if (monthIndex >= 2 && IsLeapYear(year)) ++days;
    return days + day;
}

CivilDate CivilFromDayNumber(int64_t dayNumber) {
    int64_t z = dayNumber - kFirstMarchOfYear0;
    int64_t era = FloorDiv(z, kDaysPer400Years);
    int64_t dayOfEra = z - era * kDaysPer400Years;  // 0 to 146096
    // Years of the era, each from 1 March, less the leap days before them.
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);  // 0 to 365
    // Months from March: 31, 30, 31, 30, 31 repeat, 153 days every five.
    int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = int(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    date.month = int(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    date.year = era * 400 + yearOfEra + (date.month <= 2 ? 1 : 0);
    return date;
}

double TimeOfDay(int64_t hour, int64_t minute, int64_t second) {
    return double(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
}

int WeekdayOf(int64_t dayNumber) {
    // Day number 2 (2 January of year 0) was a Sunday.
    return int(FloorMod(dayNumber - 2, 7)) + 1;
}

DateTimeParts SplitDateTime(double value) {
    DateTimeParts parts;
    if (!(std::fabs(value) < kMaxDayNumber)) return parts;
    double whole = std::trunc(value);
    int64_t dayNumber = int64_t(whole);
    // The fraction is exact; rounding to the nearest second absorbs the error
    // of the sums that built the number (a day number plus a time).
    int64_t seconds = int64_t(std::floor(std::fabs(value - whole) * kSecondsPerDay + 0.5));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        dayNumber += value < 0 ? -1 : 1;
    }
    CivilDate date = CivilFromDayNumber(dayNumber);
    parts.year = date.year;
    parts.month = date.month;
    parts.day = date.day;
    parts.hour = int(seconds / 3600);
    parts.minute = int(seconds % 3600 / 60);
    parts.second = int(seconds % 60);
    parts.weekday = WeekdayOf(dayNumber);
    return parts;
}

std::string_view DayName(int weekday, bool abbreviated) {
    if (weekday < 1 || weekday > 7) return {};
    return (abbreviated ? kShortDayNames : kDayNames)[weekday - 1];
}

std::string_view MonthName(int month, bool abbreviated) {
    if (month < 1 || month > 12) return {};
    return (abbreviated ? kShortMonthNames : kMonthNames)[month - 1];
}

std::string FormatDateTime(double value, std::string_view pattern) {
    DateTimeParts parts = SplitDateTime(value);
    std::string text;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c != '#' && c != '$') {
            text += c;
            continue;
        }
        if (++i == pattern.size()) break;
        const FormatField* field = FindField(c, pattern[i]);
        if (field)
            text += field->text(parts);
        else
            text += pattern[i];
    }
    return text;
}

}  // namespace tallow::datetime
