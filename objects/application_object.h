// The built-in object `application`: the running script's file name and
// program handle (read-only properties), and terminate, which ends the run.
#pragma once

#include "expr/script_object.h"

namespace tallow {

namespace msg {
constexpr const char kFileNameReadOnly[] = "The FileName property is read-only.";
}  // namespace msg

class ApplicationObject : public ScriptObject {
public:
    explicit ApplicationObject(Program& program);

    // terminate, the member of its table.
    void Terminate();
    // filename (string) and handle (number) are read-only properties.
    void SetStringMember(std::string_view name, std::string value) override;
    std::string GetStringMember(std::string_view name) override;
    void SetNumMember(std::string_view name, double value) override;
    double GetNumMember(std::string_view name) override;
};

}  // namespace tallow
