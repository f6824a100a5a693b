// The desktop members of the system object: message boxes, file choosers,
// window search, key simulation, sound, wallpaper and the session.
#include "objects/system_members.h"

#include "core/messages.h"
#include "core/program.h"
#include "objects/system_object.h"

namespace tallow {

void SysSetCaption(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysPlaySound(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysFindWindow(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysSendKeys(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysExitWindows(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

void SysSetWallpaper(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

double SysMsgBox(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysOpenDialog(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysSaveDialog(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

std::string SysBrowseFolder(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}

}  // namespace tallow
