// The built-in object `clock`: the current time, date-time numbers built
// from their parts and split again, their text after a pattern, file times
// and the system clock (also as the number property systemtime).
#pragma once

#include "expr/script_object.h"

namespace tallow {

namespace msg {
constexpr const char kClockFileNotFound[] = "File not found!";
constexpr const char kCouldNotSetSystemTime[] = "Could not set system time!";
// A file whose status was read but whose time could not be changed (a time
// its file system cannot hold, or no right to change it).
constexpr const char kCouldNotSetFileTime[] = "Could not set file time!";
}  // namespace msg

class ClockObject : public ScriptObject {
public:
    explicit ClockObject(Program& program);

    // systemtime reads and sets the system clock.
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;
};

}  // namespace tallow
