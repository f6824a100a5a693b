// The application object's statement and properties.
#include "application_object.h"

#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "platform/application.h"

namespace tallow {

namespace {

constexpr StatementMember kStatements[] = {
    {"terminate", 1, Call<&ApplicationObject::Terminate>},
};
constexpr MemberTable kMembers{kStatements, {}, {}};
static_assert(IdsInOrder(kMembers));

constexpr std::string_view kFileNameProperty = "filename";
constexpr std::string_view kHandleProperty = "handle";

}  // namespace

ApplicationObject::ApplicationObject(Program& program) : ScriptObject(program, "application") {
    AddMembers(kMembers);
}

// terminate = "terminate". The run ends once the statement in progress is
// done, as after exit (the exit code stays as it was).
void ApplicationObject::Terminate() {
    program_.stopRequested = 1;
}

void ApplicationObject::SetStringMember(std::string_view name, std::string value) {
    if (NamesEqual(name, kFileNameProperty)) program_.ReportError(kRuntimeKind, msg::kFileNameReadOnly);
    ScriptObject::SetStringMember(name, std::move(value));
}

// The script's file name made absolute, or as it was given when that fails
// (an empty name for text a host handed over).
std::string ApplicationObject::GetStringMember(std::string_view name) {
    if (!NamesEqual(name, kFileNameProperty)) return ScriptObject::GetStringMember(name);
    std::string full;
    if (platform::FullPathName(program_.scriptFileName, full)) return full;
    return program_.scriptFileName;
}

void ApplicationObject::SetNumMember(std::string_view name, double value) {
    if (NamesEqual(name, kHandleProperty)) program_.ReportError(kRuntimeKind, msg::kHandleReadOnly);
    ScriptObject::SetNumMember(name, value);
}

double ApplicationObject::GetNumMember(std::string_view name) {
    if (!NamesEqual(name, kHandleProperty)) return ScriptObject::GetNumMember(name);
    return double(platform::MainProgramHandle());
}

}  // namespace tallow
