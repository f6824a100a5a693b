// The desktop session: file and folder choosers, top-level windows,
// simulated key strokes, the wallpaper, sounds and ending the session. On
// Windows the system's own calls; on Linux no display is used yet (choosers
// answer as cancelled, no window is found, key strokes go nowhere), while the
// wallpaper, sounds and the session go through the desktop's own tools.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "handles.h"

namespace tallow::platform {

// Virtual-key codes of the modifier keys (the Win32 values, on every target).
constexpr uint8_t kVkShift = 0x10;
constexpr uint8_t kVkControl = 0x11;
constexpr uint8_t kVkAlt = 0x12;

// The modifiers a character's key needs, as bits (VkKeyScan's high byte).
constexpr unsigned kModShift = 1;
constexpr unsigned kModCtrl = 2;
constexpr unsigned kModAlt = 4;

// One simulated key event: a virtual key pressed (down) or released.
struct KeyStroke {
    uint8_t virtualKey = 0;
    bool down = false;
    bool operator==(const KeyStroke&) const = default;
};

// The key that types a character on the keyboard layout, and its modifiers.
struct CharKey {
    uint8_t virtualKey = 0;
    unsigned modifiers = 0;  // kModShift | kModCtrl | kModAlt
};

// The key of c: VkKeyScanA on Windows, a US layout of the printable ASCII
// characters (and tab, return, line feed and backspace) on Linux. False when
// no key of the layout types c.
bool KeyForChar(char c, CharKey& key);

// Sends the strokes to whatever window has the keyboard, in order. Windows
// first dispatches the thread's pending window messages and yields the
// processor once, so host windows are up to date; Linux sends nothing yet.
// Nothing is sent when confined.
void SendKeyStrokes(std::span<const KeyStroke> strokes);

// Brings the first top-level window whose title begins with titleStart
// (compared without regard to case, multibyte-aware) to the foreground.
// False when no window matched (always on Linux, and when confined).
bool BringWindowForward(std::string_view titleStart);

// A file chooser: the system's open or save dialog.
struct FileChooserRequest {
    Handle owner = nullptr;
    bool save = false;
    // Name/pattern pairs, each text ended by a NUL, the list by one NUL more
    // ("Text\0*.txt\0\0"); empty for no filter at all.
    std::string filters;
    std::string initialFile;
    std::string title;
};

// The full path chosen, "" when the user cancelled or the chooser failed.
// Linux has no chooser yet: it says so on standard error and gives "".
std::string ChooseFile(const FileChooserRequest& request);
// The folder chosen in the folder browser, starting at root ("" for the
// whole desktop) with title above the tree; "" when cancelled. Linux: as
// ChooseFile.
std::string ChooseFolder(Handle owner, const std::string& root, const std::string& title);

// What a chooser that is not shown (unattended, or no desktop) writes to
// standard error, or hands to the box observer: "CAPTION: WHAT cancelled".
constexpr char kFileChooserName[] = "file chooser";
constexpr char kFolderBrowserName[] = "folder browser";
constexpr char kFolderBrowserCaption[] = "Browse for Folder";
void ReportChooserCancelled(std::string_view caption, std::string_view what);

// Makes the image file the desktop's wallpaper. Windows: SystemParametersInfo
// (an empty name removes the wallpaper). Linux: the setting of the running
// desktop where it is known (GNOME and its relatives, Cinnamon, MATE), read
// back to be sure. False when the file does not exist or nothing took it.
bool SetWallpaper(const std::string& file);

// PlaySound's flags that every target understands.
constexpr unsigned kSndAsync = 0x1;
constexpr unsigned kSndNoStop = 0x10;
constexpr unsigned kSndPurge = 0x40;
constexpr unsigned kSndAlias = 0x10000;
constexpr unsigned kSndFile = 0x20000;

// Plays a sound file or a named system sound as PlaySoundA does (flags as
// there). Linux plays WAV files and sound-theme names through libcanberra
// when that library is installed, and nothing otherwise. Never fails loudly.
void PlaySoundNamed(const std::string& name, unsigned flags);

// Ending the session with ExitWindowsEx's flags (0 log off, 1 shut down,
// 2 reboot, 8 power off; 4 forces). On Windows the flags go to ExitWindowsEx;
// on Linux the command that does the same runs (loginctl terminate-session,
// systemctl reboot or poweroff). False when the system refused, and always
// when confined.
bool EndSession(unsigned flags);

// What EndSession would do: the flags, and on Linux the command line.
struct SessionEndRequest {
    unsigned flags = 0;
    std::vector<std::string> command;
};
// The seam through which EndSession acts: tests put a recorder here, so no
// test ever ends the session of the machine it runs on. Null restores the
// system's own way. Process-wide.
using SessionEnder = bool (*)(const SessionEndRequest& request);
void SetSessionEnder(SessionEnder ender);
// The seam's current ender, or null (used by the implementations).
SessionEnder CurrentSessionEnder();

}  // namespace tallow::platform
