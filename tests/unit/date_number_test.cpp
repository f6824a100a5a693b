// Date-time numbers: the day-number rule against the standard library's
// calendar for every day of years 1 to 9999, splitting (rounding, the carry
// into the next day, negative and unusable numbers), names and format.
#include "objects/date_number.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

namespace tallow::datetime {
namespace {

namespace chr = std::chrono;

TEST(DateNumberTest, EveryDayOfYears1To9999MatchesTheStandardCalendar) {
    chr::sys_days first = chr::year_month_day{chr::year{1}, chr::January, chr::day{1}};
    chr::sys_days last = chr::year_month_day{chr::year{9999}, chr::December, chr::day{31}};
    int64_t failures = 0;
    for (chr::sys_days d = first; d <= last && failures < 10; d += chr::days{1}) {
        chr::year_month_day ymd{d};
        int64_t expected = d.time_since_epoch().count() + kUnixEpochDay;
        int64_t number = DayNumber(int(ymd.year()), unsigned(ymd.month()), unsigned(ymd.day()));
        CivilDate back = CivilFromDayNumber(expected);
        bool same = number == expected && back.year == int(ymd.year()) &&
                    back.month == int(unsigned(ymd.month())) && back.day == int(unsigned(ymd.day()));
        if (!same) {
            ++failures;
            ADD_FAILURE() << int(ymd.year()) << "-" << unsigned(ymd.month()) << "-" << unsigned(ymd.day())
                          << ": day number " << number << ", expected " << expected << "; back to "
                          << back.year << "-" << back.month << "-" << back.day;
        }
    }
}

// The script corpus has the reference days, leap years and the days and
// months that count on; these are the carries it does not reach.
TEST(DateNumberTest, PartsOutsideTheirRangesCarry) {
    EXPECT_EQ(DayNumber(0, 1, 1), 1);
    EXPECT_EQ(DayNumber(2100, 3, 1) - DayNumber(2100, 2, 28), 1);
    EXPECT_EQ(DayNumber(2000, 3, 0), DayNumber(2000, 2, 29));
    EXPECT_EQ(DayNumber(2000, -11, 5), DayNumber(1999, 1, 5));
    EXPECT_EQ(DayNumber(2000, 25, 1), DayNumber(2002, 1, 1));
}

TEST(DateNumberTest, DaysBeforeYear0AreConsecutive) {
    EXPECT_EQ(DayNumber(-1, 12, 31), 0);
    EXPECT_EQ(DayNumber(-1, 1, 1), -364);  // year -1 is a common year
    EXPECT_EQ(DayNumber(-4, 1, 1), -364 - 365 * 2 - 366);
    for (int64_t n = -800000; n <= 800000; n += 997) {
        CivilDate d = CivilFromDayNumber(n);
        ASSERT_EQ(DayNumber(d.year, d.month, d.day), n) << n;
        CivilDate next = CivilFromDayNumber(n + 1);
        ASSERT_EQ(DayNumber(next.year, next.month, next.day), n + 1) << n;
    }
}

TEST(DateNumberTest, Weekdays) {
    EXPECT_EQ(WeekdayOf(719529), 5);  // 1 January 1970, a Thursday
    EXPECT_EQ(WeekdayOf(DayNumber(2000, 1, 1)), 7);
    EXPECT_EQ(WeekdayOf(1), 7);  // 1 January of year 0, a Saturday
    EXPECT_EQ(WeekdayOf(2), 1);
    EXPECT_EQ(WeekdayOf(0), 6);
    for (int64_t n = -20; n < 20; ++n) {
        int w = WeekdayOf(n);
        ASSERT_GE(w, 1);
        ASSERT_LE(w, 7);
        ASSERT_EQ(WeekdayOf(n + 1), w % 7 + 1);
    }
    // A fraction of a day between 1 and 2 still belongs to day 1.
    EXPECT_EQ(SplitDateTime(1.5).weekday, 7);
}

TEST(DateNumberTest, SplittingRoundsToTheNearestSecond) {
    DateTimeParts noon = SplitDateTime(0.5);
    EXPECT_EQ(noon.hour, 12);
    EXPECT_EQ(noon.minute, 0);
    EXPECT_EQ(noon.second, 0);
    EXPECT_EQ(TimeOfDay(12, 0, 0), 0.5);
    // Every second of a day, alone and after a day number of today's size,
    // splits back to itself although the sums are not exact.
    for (int s = 0; s < kSecondsPerDay; ++s) {
        for (double day : {0.0, 730486.0, 2958465.0}) {
            DateTimeParts p = SplitDateTime(day + TimeOfDay(0, 0, s));
            ASSERT_EQ(p.hour * 3600 + p.minute * 60 + p.second, s) << day << " " << s;
            ASSERT_EQ(DayNumber(p.year, p.month, p.day), int64_t(day)) << day << " " << s;
        }
    }
}

TEST(DateNumberTest, ATimeRoundingToMidnightIsTheNextDay) {
    double lastMoment = DayNumber(1999, 12, 31) + 0.9999999;
    DateTimeParts p = SplitDateTime(lastMoment);
    EXPECT_EQ(p.year, 2000);
    EXPECT_EQ(p.month, 1);
    EXPECT_EQ(p.day, 1);
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(p.weekday, 7);
    EXPECT_EQ(SplitDateTime(DayNumber(1999, 12, 31) + TimeOfDay(23, 59, 59)).day, 31);
}

TEST(DateNumberTest, NegativeNumbersCountTheirTimeFromTheStartOfTheirDay) {
    DateTimeParts p = SplitDateTime(-1.25);
    EXPECT_EQ(p.year, -1);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 30);
    EXPECT_EQ(p.hour, 6);
    EXPECT_EQ(p.weekday, WeekdayOf(-1));
    DateTimeParts q = SplitDateTime(-0.5);
    EXPECT_EQ(q.day, 31);
    EXPECT_EQ(q.hour, 12);
    // Carried away from zero: the next day in the number's direction.
    EXPECT_EQ(SplitDateTime(-1.9999999).day, 29);
}

TEST(DateNumberTest, NumbersThatNameNoDateSplitIntoZeros) {
    double justInside = std::nextafter(kMaxDayNumber, 0.0);
    DateTimeParts inside = SplitDateTime(justInside);
    EXPECT_GT(inside.year, 24000000000000);
    EXPECT_GE(inside.month, 1);
    EXPECT_GE(inside.weekday, 1);
    EXPECT_EQ(SplitDateTime(-justInside).weekday, WeekdayOf(-int64_t(justInside)));
    for (double bad : {kMaxDayNumber, -kMaxDayNumber, 1e300, -1e300, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        DateTimeParts p = SplitDateTime(bad);
        EXPECT_EQ(p.year, 0) << bad;
        EXPECT_EQ(p.month, 0) << bad;
        EXPECT_EQ(p.weekday, 0) << bad;
        EXPECT_EQ(FormatDateTime(bad, "[$D$d$M$m] #Y-#m-#d #H:#n:#s"), "[] 00-00-00 00:00:00") << bad;
    }
}

TEST(DateNumberTest, NamesOnlyInsideTheirTables) {
    EXPECT_EQ(DayName(7, true), "Sat");
    EXPECT_EQ(MonthName(12, false), "December");
    for (int outside : {-1000000, -1, 0, 13, 1000000}) {
        EXPECT_EQ(DayName(outside, false), "");
        EXPECT_EQ(MonthName(outside, true), "");
    }
    EXPECT_EQ(DayName(8, true), "");
}

TEST(DateNumberTest, FormatYearsOfEveryLength) {
    EXPECT_EQ(FormatDateTime(DayNumber(5, 1, 2), "#Y #y"), "05 05");
    EXPECT_EQ(FormatDateTime(DayNumber(-5, 1, 2), "#Y #y"), "-5 95");
    EXPECT_EQ(FormatDateTime(DayNumber(12345, 1, 2), "#Y #y"), "12345 45");
    EXPECT_EQ(FormatDateTime(0, "$"), "");
}

}  // namespace
}  // namespace tallow::datetime
