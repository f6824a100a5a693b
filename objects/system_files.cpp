// Files, links, versions and well-known directories of the system object.
#include "objects/system_members.h"

#include "core/messages.h"
#include "core/program.h"
#include "objects/system_object.h"

namespace tallow {

void SysReadFileLines(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysWriteFileLines(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysCreateLink(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysFileOperation(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysGetFileVersion(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysGetWinVersion(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetTempDir(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetWinDir(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetSysDir(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetShortFileName(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetLongFileName(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetTempFileName(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysGetUserName(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

}  // namespace tallow
