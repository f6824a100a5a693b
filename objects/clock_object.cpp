// The clock object's members: each reads all its parameters, then converts
// through the date arithmetic of date_number.h or asks the platform clock.
#include "clock_object.h"

#include <cstdint>

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "objects/date_number.h"
#include "platform/clock.h"

namespace tallow {

namespace {

constexpr std::string_view kSystemTimeProperty = "systemtime";

double FromLocalTime(const platform::LocalTime& t) {
    return double(datetime::DayNumber(t.year, t.month, t.day)) +
           datetime::TimeOfDay(t.hour, t.minute, t.second);
}

// The local time a date-time number names; false when it names none that a
// LocalTime holds.
bool ToLocalTime(double value, platform::LocalTime& t) {
    datetime::DateTimeParts parts = datetime::SplitDateTime(value);
    if (parts.month == 0 || parts.year < INT32_MIN || parts.year > INT32_MAX) return false;
    t.year = int(parts.year);
    t.month = parts.month;
    t.day = parts.day;
    t.hour = parts.hour;
    t.minute = parts.minute;
    t.second = parts.second;
    return true;
}

void SetSystemTime(Program& p, double value) {
    platform::LocalTime t;
    if (!ToLocalTime(value, t) || !platform::Clock().Set(t))
        p.ReportError(kRuntimeKind, msg::kCouldNotSetSystemTime);
}

// setfiletime = "setfiletime" strexpr "," numexpr
void ClockSetFileTime(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    std::string file = ev.EvalString();
    ev.HasNextParam(true);
    double value = ev.EvalNum();
    platform::LocalTime t;
    if (!platform::FileModifiedTime(file, t)) p.ReportError(kRuntimeKind, msg::kClockFileNotFound);
    if (!ToLocalTime(value, t) || !platform::SetFileModifiedTime(file, t))
        p.ReportError(kRuntimeKind, msg::kCouldNotSetFileTime);
}

// setsystemtime = "setsystemtime" numexpr
void ClockSetSystemTime(Program& p) {
    p.Eval().HasFirstParam(true);
    SetSystemTime(p, p.Eval().EvalNum());
}

// now = "now(" ")", and getsystemtime the same
double ClockNow(Program&) {
    return FromLocalTime(platform::Clock().Now());
}

// The parts of the number that is the only parameter.
datetime::DateTimeParts SplitParameter(Program& p) {
    p.Eval().HasFirstParam(true);
    return datetime::SplitDateTime(p.Eval().EvalNum());
}

// year = "year(" numexpr ")", and month, day, hour, minute, second and
// weekday the same
double ClockYear(Program& p) {
    return double(SplitParameter(p).year);
}
double ClockMonth(Program& p) {
    return SplitParameter(p).month;
}
double ClockDay(Program& p) {
    return SplitParameter(p).day;
}
double ClockHour(Program& p) {
    return SplitParameter(p).hour;
}
double ClockMinute(Program& p) {
    return SplitParameter(p).minute;
}
double ClockSecond(Program& p) {
    return SplitParameter(p).second;
}
double ClockWeekday(Program& p) {
    return SplitParameter(p).weekday;
}

// Three whole numbers: the first parameter and two more.
struct Triple {
    int32_t a, b, c;
};
Triple ReadTriple(Program& p) {
    Evaluator& ev = p.Eval();
    Triple t;
    ev.HasFirstParam(true);
    t.a = ToInt32(ev.EvalNum());
    ev.HasNextParam(true);
    t.b = ToInt32(ev.EvalNum());
    ev.HasNextParam(true);
    t.c = ToInt32(ev.EvalNum());
    return t;
}

// time = "time(" numexpr "," numexpr "," numexpr ")"
double ClockTime(Program& p) {
    Triple t = ReadTriple(p);
    return datetime::TimeOfDay(t.a, t.b, t.c);
}

// date = "date(" numexpr "," numexpr "," numexpr ")"
double ClockDate(Program& p) {
    Triple t = ReadTriple(p);
    return double(datetime::DayNumber(t.a, t.b, t.c));
}

// getfiletime = "getfiletime(" strexpr ")"
double ClockGetFileTime(Program& p) {
    p.Eval().HasFirstParam(true);
    std::string file = p.Eval().EvalString();
    platform::LocalTime t;
    if (!platform::FileModifiedTime(file, t)) p.ReportError(kRuntimeKind, msg::kClockFileNotFound);
    return FromLocalTime(t);
}

// format = "format(" numexpr "," strexpr ")"
std::string ClockFormat(Program& p) {
    Evaluator& ev = p.Eval();
    ev.HasFirstParam(true);
    double value = ev.EvalNum();
    ev.HasNextParam(true);
    std::string pattern = ev.EvalString();
    return datetime::FormatDateTime(value, pattern);
}

constexpr StatementMember kStatements[] = {
    {"setfiletime", 1, Call<ClockSetFileTime>},
    {"setsystemtime", 2, Call<ClockSetSystemTime>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"now", 1, Call<ClockNow>},
    {"year", 2, Call<ClockYear>},
    {"month", 3, Call<ClockMonth>},
    {"day", 4, Call<ClockDay>},
    {"hour", 5, Call<ClockHour>},
    {"minute", 6, Call<ClockMinute>},
    {"second", 7, Call<ClockSecond>},
    {"weekday", 8, Call<ClockWeekday>},
    {"time", 9, Call<ClockTime>},
    {"date", 10, Call<ClockDate>},
    {"getfiletime", 11, Call<ClockGetFileTime>},
    {"getsystemtime", 12, Call<ClockNow>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"format", 1, Call<ClockFormat>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

}  // namespace

ClockObject::ClockObject(Program& program) : ScriptObject(program, "clock") {
    AddMembers(kMembers);
}

void ClockObject::SetNumMember(std::string_view name, double value) {
    if (!NamesEqual(name, kSystemTimeProperty)) return ScriptObject::SetNumMember(name, value);
    SetSystemTime(program_, value);
}

double ClockObject::GetNumMember(std::string_view name) {
    if (!NamesEqual(name, kSystemTimeProperty)) return ScriptObject::GetNumMember(name);
    return FromLocalTime(platform::Clock().Now());
}

}  // namespace tallow
