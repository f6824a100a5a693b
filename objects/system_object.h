// The system partner of the main object: an unnamed script object whose
// statement and function names are searched before the keywords, so its
// members are written without a prefix. It also defines the constants of
// its members (message-box buttons, shell file operations, ...).
#pragma once

#include "expr/script_object.h"

namespace tallow {

namespace msg {
constexpr const char kCouldNotStartProgram[] = "Could not start program!";
constexpr const char kCouldNotOpenFile[] = "Could not open file!";
constexpr const char kCouldNotCreateLink[] = "Could not create link!";
constexpr const char kCouldNotFindWindow[] = "Could not find window!";
constexpr const char kUnknownKeyCode[] = "Unknown key code!";
constexpr const char kNotYetImplemented[] = "This statement is not yet implemented!";
constexpr const char kFileOperationFailed[] = "File operation failed!";
constexpr const char kCouldNotExitWindows[] = "Could not perform attempted exit from Windows!";
constexpr const char kNoFileVersion[] = "Could not retrieve file version information!";
constexpr const char kMemoryAllocation[] = "Memory allocation error!";
constexpr const char kCannotSetWallpaper[] = "Cannot set wallpaper!";
constexpr const char kNoTempDir[] = "Error retrieving temporary directory!";
constexpr const char kNoWinDir[] = "Error retrieving Windows directory!";
constexpr const char kNoSysDir[] = "Error retrieving system directory!";
}  // namespace msg

class SystemObject : public ScriptObject {
public:
    explicit SystemObject(Program& program);
};

}  // namespace tallow
