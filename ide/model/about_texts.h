// The about box's fixed texts and the two values it shows: the running
// editor's file date and the engine library's version, formatted without a
// window so that the main window only has to read the file's stamp.
#pragma once

#include <cstdint>
#include <string>

namespace tallow::ide {

inline constexpr const char* kAboutTitle = "About Tallow95";
inline constexpr const char* kAboutProduct = "Tallow95";
inline constexpr const char* kAboutTagline = "System Scripting for Windows 95";
inline constexpr const char* kEditorDateLabel = "Editor Date:";
inline constexpr const char* kEngineVersionLabel = "Engine Version:";
// Either value when its file cannot be found or read.
inline constexpr const char* kUnknownAboutValue = "Unknown";
// The engine library whose version the box shows, found along the search path.
inline constexpr const char* kEngineLibraryName = "TALLOWCORE.DLL";

// A file's local modification time as the box needs it.
struct FileStamp {
    int year = 0;
    int month = 0;   // 1-12
    int day = 0;     // 1-31
    int hour = 0;    // 0-23
    int minute = 0;  // 0-59
};

// "m/d/yyyy  h:n AM/PM": no leading zeros (minutes included), two blanks
// between date and time, a 12-hour clock on which midnight and noon are 12.
std::string FormatEditorDate(const FileStamp& stamp);

// "%d.%3.3d" of the high and low word of the most significant half of a file
// version: 0x00010005 gives "1.005".
std::string FormatEngineVersion(uint32_t fileVersionMost);

}  // namespace tallow::ide
