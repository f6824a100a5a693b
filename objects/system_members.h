// The members of the system object, one handler each. Every handler reads its
// own parameters from the program's lexer; the table in system_object.cpp
// gives their names and ids. Grouped by the file that holds them.
#pragma once

#include <string>

namespace tallow {

class Program;

// Processes and the environment (system_process.cpp).
void SysSetEnv(Program& p);
void SysSystem(Program& p);
void SysWinExec(Program& p);
void SysShellExec(Program& p);
double SysExec(Program& p);
std::string SysGetEnv(Program& p);

// The desktop: boxes, choosers, windows, keys, sound and session
// (system_desktop.cpp).
void SysSetCaption(Program& p);
void SysPlaySound(Program& p);
void SysFindWindow(Program& p);
void SysSendKeys(Program& p);
void SysExitWindows(Program& p);
void SysSetWallpaper(Program& p);
double SysMsgBox(Program& p);
std::string SysOpenDialog(Program& p);
std::string SysSaveDialog(Program& p);
std::string SysBrowseFolder(Program& p);

// Files, links, versions and well-known directories (system_files.cpp).
void SysReadFileLines(Program& p);
void SysWriteFileLines(Program& p);
void SysCreateLink(Program& p);
void SysFileOperation(Program& p);
void SysGetFileVersion(Program& p);
void SysGetWinVersion(Program& p);
std::string SysGetTempDir(Program& p);
std::string SysGetWinDir(Program& p);
std::string SysGetSysDir(Program& p);
std::string SysGetShortFileName(Program& p);
std::string SysGetLongFileName(Program& p);
std::string SysGetTempFileName(Program& p);
std::string SysGetUserName(Program& p);

}  // namespace tallow
