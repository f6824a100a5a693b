// The desktop on Linux. Choosers, window search and simulated keys are the
// desktop module's where a desktop is in reach (the last two on X11 only).
// Otherwise choosers answer as cancelled, no window is found and key strokes
// go nowhere (their text is still read, so a script's errors are those of
// Windows). The wallpaper and the session go through the desktop's
// command-line tools.
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "command_posix.h"
#include "gui_module_posix.h"
#include "platform/confinement.h"
#include "platform/desktop.h"
#include "platform/message_box.h"
#include "platform/us_key_layout.h"

namespace tallow::platform {

namespace {

// ExitWindowsEx's flags.
constexpr unsigned kEwShutDown = 0x1;
constexpr unsigned kEwReboot = 0x2;
constexpr unsigned kEwForce = 0x4;
constexpr unsigned kEwPowerOff = 0x8;
constexpr unsigned kEwForceIfHung = 0x10;

// Where each desktop keeps its wallpaper: the desktop's name as it appears
// in XDG_CURRENT_DESKTOP, and the setting, which holds a file URI or a path.
struct WallpaperSetting {
    const char* desktop;
    const char* schema;
    const char* key;
    bool uri;
};
constexpr WallpaperSetting kWallpaperSettings[] = {
    {"Cinnamon", "org.cinnamon.desktop.background", "picture-uri", true},
    {"MATE", "org.mate.background", "picture-filename", false},
    {"GNOME", "org.gnome.desktop.background", "picture-uri", true},
    {"Unity", "org.gnome.desktop.background", "picture-uri", true},
    {"Budgie", "org.gnome.desktop.background", "picture-uri", true},
    {"Pantheon", "org.gnome.desktop.background", "picture-uri", true},
};
// GNOME 42 and later show this one in dark mode; older ones lack it.
constexpr char kDarkPictureKey[] = "picture-uri-dark";

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t i = 0; i + part.size() <= text.size(); ++i) {
        size_t j = 0;
        while (j < part.size() && lower(text[i + j]) == lower(part[j]))
            ++j;
        if (j == part.size()) return true;
    }
    return false;
}

const WallpaperSetting* RunningDesktopSetting() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (!desktop || !*desktop) return nullptr;
    for (const WallpaperSetting& s : kWallpaperSettings)
        if (ContainsIgnoringCase(desktop, s.desktop)) return &s;
    return nullptr;
}

// "file://" and the path with every byte but the unreserved ones and "/"
// percent-encoded.
std::string FileUri(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            uri += char(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

// The absolute path of an existing regular file, or "".
std::string ExistingFile(const std::string& file) {
    if (file.empty()) return std::string();
    char* resolved = realpath(file.c_str(), nullptr);
    if (!resolved) return std::string();
    std::string path(resolved);
    std::free(resolved);
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::string();
    return path;
}

// gsettings answers "set" with success even where nothing keeps the value
// (no session bus, the memory backend), so the value is read back.
bool WriteSetting(const char* schema, const char* key, const std::string& value) {
    if (RunCommand({"gsettings", "set", schema, key, value}, nullptr, true) != 0) return false;
    std::string shown;
    if (RunCommand({"gsettings", "get", schema, key}, &shown, true) != 0) return false;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == ' '))
        shown.pop_back();
    return shown == "'" + value + "'" || shown == "\"" + value + "\"";
}

std::vector<std::string> SessionEndCommand(unsigned flags) {
    std::vector<std::string> command;
    if (flags & kEwReboot) {
        command = {"systemctl", "reboot"};
    } else if (flags & (kEwShutDown | kEwPowerOff)) {
        command = {"systemctl", "poweroff"};
    } else {
        // An empty id is the session of the caller, where loginctl knows it.
        const char* id = std::getenv("XDG_SESSION_ID");
        return {"loginctl", "terminate-session", id ? id : ""};
    }
    // Forcing: what would hold the machine up (inhibitors) is ignored.
    if (flags & (kEwForce | kEwForceIfHung)) command.push_back("--ignore-inhibitors");
    return command;
}

}  // namespace

bool KeyForChar(char c, CharKey& key) {
    return UsLayoutKeyForChar(c, key);
}

// On an X11 desktop through the desktop module (after its pending events,
// so its windows are up to date); elsewhere nowhere.
void SendKeyStrokes(std::span<const KeyStroke> strokes) {
    const TallowGuiTable* gui = GuiModule();
    if (!gui || strokes.empty()) return;
    std::vector<uint8_t> keys, downs;
    for (const KeyStroke& stroke : strokes) {
        keys.push_back(stroke.virtualKey);
        downs.push_back(stroke.down ? 1 : 0);
    }
    gui->PumpEvents();
    gui->SendKeys(keys.data(), downs.data(), keys.size());
}

bool BringWindowForward(std::string_view titleStart) {
    const TallowGuiTable* gui = GuiModule();
    return gui && gui->FindWindow(std::string(titleStart).c_str());
}

// The desktop module's chooser when there is a desktop (and no observer
// takes the boxes instead).
std::string ChooseFile(const FileChooserRequest& request) {
    const TallowGuiTable* gui = HasBoxObserver() ? nullptr : GuiModule();
    if (!gui) {
        ReportChooserCancelled(request.title, kFileChooserName);
        return std::string();
    }
    return TakeGuiText(*gui, gui->ChooseFile(request.save, request.filters.data(), request.filters.size(),
                                             request.initialFile.c_str(), request.title.c_str()));
}

std::string ChooseFolder(Handle, const std::string& root, const std::string& title) {
    const TallowGuiTable* gui = HasBoxObserver() ? nullptr : GuiModule();
    if (!gui) {
        ReportChooserCancelled(title.empty() ? kFolderBrowserCaption : title, kFolderBrowserName);
        return std::string();
    }
    return TakeGuiText(*gui, gui->ChooseFolder(root.c_str(), title.c_str()));
}

bool SetWallpaper(const std::string& file) {
    if (Confined()) return false;
    std::string path = ExistingFile(file);
    const WallpaperSetting* setting = RunningDesktopSetting();
    if (path.empty() || !setting) return false;
    std::string value = setting->uri ? FileUri(path) : path;
    if (!WriteSetting(setting->schema, setting->key, value)) return false;
    if (setting->uri && std::string_view(setting->schema) == "org.gnome.desktop.background")
        RunCommand({"gsettings", "set", setting->schema, kDarkPictureKey, value}, nullptr, true);
    return true;
}

bool EndSession(unsigned flags) {
    if (Confined()) return false;
    SessionEndRequest request{flags, SessionEndCommand(flags)};
    if (SessionEnder ender = CurrentSessionEnder()) return ender(request);
    return RunCommand(request.command, nullptr, false) == 0;
}

}  // namespace tallow::platform
