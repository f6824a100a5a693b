// The "open" verb of the code-file type among the current user's classes
// (HKEY_CURRENT_USER, Software, Classes), which Explorer merges with the
// machine-wide ones: the development environment's "edit" verb and icon
// stay where they are. Where the classes root does not show the user's
// classes (Wine 8 merges none of them), the same entries go under the
// classes root too, so that the shell finds the verb there.
#include <shlobj.h>
#include <windows.h>

#include <cctype>
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

// The names the changes are reported under.
constexpr const char* kUserName = "HKEY_CURRENT_USER";
constexpr const char* kRootName = "HKEY_CLASSES_ROOT";

// The key's default string value; empty when it has none.
std::string DefaultValue(const std::string& path, HKEY root = HKEY_CURRENT_USER) {
    UniqueKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS)
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
                     std::string& error, HKEY root = HKEY_CURRENT_USER, const char* rootName = kUserName) {
    UniqueKey key;
    if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(), nullptr) !=
            ERROR_SUCCESS ||
        ::RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS) {
        error = std::string("cannot write ") + rootName + "\\" + path;
        return false;
    }
    changed.push_back(std::string(rootName) + "\\" + path);
    return true;
}

// The type, its name and the verb under the classes root, for a shell that
// does not see the user's classes there.
bool RegisterInClassesRoot(const std::string& type, const std::string& command,
                           std::vector<std::string>& changed, std::string& error) {
    HKEY root = HKEY_CLASSES_ROOT;
    const char* name = kRootName;
    if (DefaultValue(".cod", root).empty() && !SetDefaultValue(".cod", type, changed, error, root, name))
        return false;
    std::string shown = DefaultValue(".cod", root);
    if (DefaultValue(shown, root).empty() && !SetDefaultValue(shown, kTypeTitle, changed, error, root, name))
        return false;
    return SetDefaultValue(shown + "\\shell\\open\\command", command, changed, error, root, name);
}

// The verb's command where the shell looks: through the type that the
// classes root names for ".cod".
std::string ShellCommand() {
    std::string type = DefaultValue(".cod", HKEY_CLASSES_ROOT);
    return type.empty() ? std::string() : DefaultValue(type + "\\shell\\open\\command", HKEY_CLASSES_ROOT);
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
    if (ShellCommand() != command && !RegisterInClassesRoot(type, command, changed, error)) return false;
    NotifyShell();
    return true;
}

// Removes the verb's two keys below typeKey, reporting them under rootName.
bool RemoveOpenVerb(HKEY root, const char* rootName, const std::string& typeKey,
                    std::vector<std::string>& changed, std::string& error) {
    std::string open = typeKey + "\\shell\\open";
    for (const std::string& path : {open + "\\command", open}) {
        LONG result = ::RegDeleteKeyA(root, path.c_str());
        if (result == ERROR_SUCCESS) {
            changed.push_back(std::string(rootName) + "\\" + path);
        } else if (result != ERROR_FILE_NOT_FOUND) {
            error = std::string("cannot remove ") + rootName + "\\" + path;
            return false;
        }
    }
    return true;
}

bool IsLauncherCommand(const std::string& command) {
    std::string lower = command;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find(std::string("\\") + kLauncherFile + "\" \"%1\"") != std::string::npos;
}

// The user's verb, and the classes root's where it is the launcher's (the
// one --register wrote there); another program's verb stays.
bool UnregisterCodeFiles(std::vector<std::string>& changed, std::string& error) {
    if (!RemoveOpenVerb(HKEY_CURRENT_USER, kUserName, std::string(kClasses) + "\\" + TypeName(), changed,
                        error))
        return false;
    std::string rootType = DefaultValue(".cod", HKEY_CLASSES_ROOT);
    if (!rootType.empty() &&
        IsLauncherCommand(DefaultValue(rootType + "\\shell\\open\\command", HKEY_CLASSES_ROOT)) &&
        !RemoveOpenVerb(HKEY_CLASSES_ROOT, kRootName, rootType, changed, error))
        return false;
    if (!changed.empty()) NotifyShell();
    return true;
}

}  // namespace tallow::platform
