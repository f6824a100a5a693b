// The "open" verb of the code-file type among the current user's classes
// (HKEY_CURRENT_USER, Software, Classes), which Explorer merges with the
// machine-wide ones: the development environment's "edit" verb and icon
// stay where they are.
#include <shlobj.h>
#include <windows.h>

#include <filesystem>

#include "platform/self_path.h"
#include "platform/shell_registration.h"
#include "platform/win32/unique_handle_win32.h"

namespace tallow::platform {

namespace {

constexpr const char* kClasses = "Software\\Classes";
constexpr const char* kExtensionKey = "Software\\Classes\\.cod";
constexpr const char* kTypeName = "Tallow95CodFile";  // the type the development environment registers
constexpr const char* kTypeTitle = "Tallow95 Code File";
constexpr const char* kLauncherFile = "tallowrun.exe";

std::string FullName(const std::string& path) {
    return "HKEY_CURRENT_USER\\" + path;
}

// The key's default string value; empty when it has none.
std::string DefaultValue(const std::string& path) {
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS)
        return std::string();
    char buffer[512];
    DWORD size = sizeof buffer - 1, type = 0;
    if (::RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    buffer[size] = '\0';
    return std::string(buffer);
}

bool SetDefaultValue(const std::string& path, const std::string& value, std::vector<std::string>& changed,
                     std::string& error) {
    UniqueKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(),
                          nullptr) != ERROR_SUCCESS ||
        ::RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
        error = "cannot write " + FullName(path);
        return false;
    }
    changed.push_back(FullName(path));
    return true;
}

// The type that ".cod" names for this user, given the development
// environment's name when it names none.
std::string TypeName() {
    std::string name = DefaultValue(kExtensionKey);
    return name.empty() ? kTypeName : name;
}

void NotifyShell() {
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace

std::string CodeFileLauncher() {
    std::filesystem::path self = ExecutablePath();
    std::filesystem::path launcher = self.parent_path() / kLauncherFile;
    std::error_code error;
    return std::filesystem::is_regular_file(launcher, error) ? launcher.string() : std::string();
}

bool RegisterCodeFiles(const std::string& launcher, std::vector<std::string>& changed, std::string& error) {
    std::string type = TypeName();
    std::string typeKey = std::string(kClasses) + "\\" + type;
    if (DefaultValue(kExtensionKey).empty() && !SetDefaultValue(kExtensionKey, type, changed, error))
        return false;
    if (DefaultValue(typeKey).empty() && !SetDefaultValue(typeKey, kTypeTitle, changed, error)) return false;
    std::string command = "\"" + launcher + "\" \"%1\"";
    if (!SetDefaultValue(typeKey + "\\shell\\open\\command", command, changed, error)) return false;
    NotifyShell();
    return true;
}

bool UnregisterCodeFiles(std::vector<std::string>& changed, std::string& error) {
    std::string open = std::string(kClasses) + "\\" + TypeName() + "\\shell\\open";
    for (const std::string& path : {open + "\\command", open}) {
        LONG result = ::RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
        if (result == ERROR_SUCCESS) {
            changed.push_back(FullName(path));
        } else if (result != ERROR_FILE_NOT_FOUND) {
            error = "cannot remove " + FullName(path);
            return false;
        }
    }
    if (!changed.empty()) NotifyShell();
    return true;
}

}  // namespace tallow::platform
