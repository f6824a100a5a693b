// The system partner: its member tables and their dispatch. It attaches
// itself to the main object on construction.
#include "system_object.h"

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "objects/system_members.h"

namespace tallow {

namespace {

// fastload was announced and never built: it only says so.
void SysFastLoad(Program& p) {
    p.ReportError(kRuntimeKind, msg::kNotYetImplemented);
}
void SysNothing(Program&) {}

using StatementEntry = ProgramStatementEntry;
using NumFunctionEntry = ProgramNumFunctionEntry;
using StringFunctionEntry = ProgramStringFunctionEntry;

// Entry i has the id i + 1.
constexpr StatementEntry kStatements[] = {
    {"setenv", SysSetEnv},
    {"setcaption", SysSetCaption},
    {"playsound", SysPlaySound},
    {"system", SysSystem},
    {"netmsgbox", SysNothing},
    {"winexec", SysWinExec},
    {"shellexec", SysShellExec},
    {"readfilelines", SysReadFileLines},
    {"writefilelines", SysWriteFileLines},
    {"createlink", SysCreateLink},
    {"findwindow", SysFindWindow},
    {"sendkeys", SysSendKeys},
    {"fastload", SysFastLoad},
    {"fileoperation", SysFileOperation},
    {"exitwindows", SysExitWindows},
    {"getfileversion", SysGetFileVersion},
    {"getwinversion", SysGetWinVersion},
    {"setwallpaper", SysSetWallpaper},
};
constexpr NumFunctionEntry kNumFunctions[] = {
    {"exec", SysExec},
    {"msgbox", SysMsgBox},
};
constexpr StringFunctionEntry kStringFunctions[] = {
    {"getenv", SysGetEnv},
    {"opendialog", SysOpenDialog},
    {"savedialog", SysSaveDialog},
    {"browsefolder", SysBrowseFolder},
    {"gettempdir", SysGetTempDir},
    {"getwindir", SysGetWinDir},
    {"getsysdir", SysGetSysDir},
    {"getshortfilename", SysGetShortFileName},
    {"getlongfilename", SysGetLongFileName},
    {"gettempfilename", SysGetTempFileName},
    {"getusername", SysGetUserName},
};

struct ConstantEntry {
    const char* name;
    double value;
};

// The Win32 codes of the shell's file operations, ExitWindowsEx, PlaySound
// and MessageBox, in the order they are defined.
constexpr ConstantEntry kConstants[] = {
    {"foCopy", 2},
    {"foDelete", 3},
    {"foMove", 1},
    {"foRename", 4},
    {"fofNoConfirmation", 16},
    {"fofNoConfirmMkDir", 512},
    {"fofRenameOnCollision", 8},
    {"fofSilent", 4},
    {"ewLogOff", 0},
    {"ewPowerOff", 8},
    {"ewReboot", 2},
    {"ewShutDown", 1},
    {"sndAlias", 65536},
    {"sndFile", 131072},
    {"mbAbortRetryIgnore", 2},
    {"mbOK", 0},
    {"mbOKCancel", 1},
    {"mbRetryCancel", 5},
    {"mbYesNo", 4},
    {"mbYesNoCancel", 3},
    {"mtError", 16},
    {"mtWarning", 48},
    {"mtInformation", 64},
    {"mtQuestion", 32},
    {"idAbort", 3},
    {"idCancel", 2},
    {"idIgnore", 5},
    {"idNo", 7},
    {"idOK", 1},
    {"idRetry", 4},
    {"idYes", 6},
};

template <class Entry, size_t N>
constexpr int Count(const Entry (&)[N]) {
    return static_cast<int>(N);
}

}  // namespace

SystemObject::SystemObject(Program& program) : ScriptObject(program, "") {
    for (int i = 0; i < Count(kStatements); ++i)
        AddStatement(kStatements[i].name, i + 1);
    for (int i = 0; i < Count(kNumFunctions); ++i)
        AddNumFunction(kNumFunctions[i].name, i + 1);
    for (int i = 0; i < Count(kStringFunctions); ++i)
        AddStringFunction(kStringFunctions[i].name, i + 1);
    for (const ConstantEntry& c : kConstants)
        program.Main().constants.Set(c.name, c.value);
    program.Main().SetSystemPartner(this);
}

void SystemObject::ProcessStatement(int id) {
    if (id < 1 || id > Count(kStatements)) return ScriptObject::ProcessStatement(id);
    kStatements[id - 1].handler(program_);
}

double SystemObject::ProcessNumFunction(int id) {
    if (id < 1 || id > Count(kNumFunctions)) return ScriptObject::ProcessNumFunction(id);
    return kNumFunctions[id - 1].handler(program_);
}

std::string SystemObject::ProcessStringFunction(int id) {
    if (id < 1 || id > Count(kStringFunctions)) return ScriptObject::ProcessStringFunction(id);
    return kStringFunctions[id - 1].handler(program_);
}

}  // namespace tallow
