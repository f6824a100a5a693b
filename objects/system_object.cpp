// The system partner: its member table and the constants of its members.
// It attaches itself to the main object on construction.
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

constexpr StatementMember kStatements[] = {
    {"setenv", 1, Call<SysSetEnv>},
    {"setcaption", 2, Call<SysSetCaption>},
    {"playsound", 3, Call<SysPlaySound>},
    {"system", 4, Call<SysSystem>},
    {"netmsgbox", 5, Call<SysNothing>},
    {"winexec", 6, Call<SysWinExec>},
    {"shellexec", 7, Call<SysShellExec>},
    {"readfilelines", 8, Call<SysReadFileLines>},
    {"writefilelines", 9, Call<SysWriteFileLines>},
    {"createlink", 10, Call<SysCreateLink>},
    {"findwindow", 11, Call<SysFindWindow>},
    {"sendkeys", 12, Call<SysSendKeys>},
    {"fastload", 13, Call<SysFastLoad>},
    {"fileoperation", 14, Call<SysFileOperation>},
    {"exitwindows", 15, Call<SysExitWindows>},
    {"getfileversion", 16, Call<SysGetFileVersion>},
    {"getwinversion", 17, Call<SysGetWinVersion>},
    {"setwallpaper", 18, Call<SysSetWallpaper>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"exec", 1, Call<SysExec>},
    {"msgbox", 2, Call<SysMsgBox>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"getenv", 1, Call<SysGetEnv>},
    {"opendialog", 2, Call<SysOpenDialog>},
    {"savedialog", 3, Call<SysSaveDialog>},
    {"browsefolder", 4, Call<SysBrowseFolder>},
    {"gettempdir", 5, Call<SysGetTempDir>},
    {"getwindir", 6, Call<SysGetWinDir>},
    {"getsysdir", 7, Call<SysGetSysDir>},
    {"getshortfilename", 8, Call<SysGetShortFileName>},
    {"getlongfilename", 9, Call<SysGetLongFileName>},
    {"gettempfilename", 10, Call<SysGetTempFileName>},
    {"getusername", 11, Call<SysGetUserName>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

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

}  // namespace

SystemObject::SystemObject(Program& program) : ScriptObject(program, "") {
    AddMembers(kMembers);
    for (const ConstantEntry& c : kConstants)
        program.Main().constants.Set(c.name, c.value);
    program.Main().SetSystemPartner(this);
}

}  // namespace tallow
