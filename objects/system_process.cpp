// Processes and the environment: system, exec, winexec, shellexec, setenv
// and getenv.
#include "objects/system_members.h"

#include "core/messages.h"
#include "core/program.h"
#include "objects/system_object.h"

namespace tallow {

void SysSetEnv(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysSystem(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysWinExec(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysShellExec(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

double SysExec(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetEnv(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

}  // namespace tallow
