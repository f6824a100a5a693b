// Initialisation files on Linux: the file read whole and handed to IniText;
// a write replaces the file whole (file_replacement.h), so that a failure or
// a crash halfway leaves the old file whole and its permissions hold for the
// new text from the start. A symbolic link keeps pointing at the file it
// named.
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/confinement.h"
#include "platform/file_read.h"
#include "platform/file_replacement.h"
#include "platform/ini_text.h"
#include "platform/posix/config_folder.h"
#include "platform/profile.h"

namespace tallow::platform {

namespace {

// The largest file read: far beyond any settings file, and well inside the
// memory of a 32-bit process. A larger one reads as missing and is never
// written.
constexpr size_t kMaxProfileBytes = size_t(64) << 20;

bool HasFolder(const std::string& file) {
    return file.find('/') != std::string::npos;
}

// The path of file by the rules in profile.h; nothing for a name that may
// not be used.
std::optional<std::string> ProfilePath(const std::string& file) {
    if (file.empty() || !PathAllowed(file)) return std::nullopt;
    if (HasFolder(file) || Confined()) return file;
    return ConfigFolder() + "/" + file;
}

// The file's text; nothing when it is missing or cannot be read.
std::optional<IniText> Load(const std::optional<std::string>& path) {
    std::vector<uint8_t> bytes;
    if (!path || ReadFileBytes(*path, kMaxProfileBytes, bytes) != FileRead::kRead) return std::nullopt;
    return IniText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue) {
    if (std::optional<IniText> ini = Load(ProfilePath(file)))
        if (std::optional<std::string> value = ini->Value(section, key)) return *value;
    return IniDefault(defaultValue);
}

uint32_t ReadProfileNumber(const std::string& file, const std::string& section, const std::string& key,
                           int32_t defaultValue) {
    if (std::optional<IniText> ini = Load(ProfilePath(file)))
        if (std::optional<std::string> value = ini->Value(section, key); value && !value->empty())
            return IniNumber(*value);
    return uint32_t(defaultValue);
}

std::vector<std::string> ProfileSectionNames(const std::string& file) {
    std::optional<IniText> ini = Load(ProfilePath(file));
    return ini ? ini->SectionNames() : std::vector<std::string>();
}

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section) {
    std::optional<IniText> ini = Load(ProfilePath(file));
    return ini ? ini->KeyNames(section) : std::vector<std::string>();
}

bool WriteProfileEntry(const std::string& file, const std::string& section, const std::string* key,
                       const std::string* value) {
    std::optional<std::string> path = ProfilePath(file);
    if (!path) return false;
    std::vector<uint8_t> bytes;
    switch (ReadFileBytes(*path, kMaxProfileBytes, bytes)) {
        case FileRead::kRead:
            break;
        case FileRead::kCannotOpen:
            // Missing is fine: the write makes the file. Present but not
            // readable is not.
            if (::access(path->c_str(), F_OK) == 0 || errno != ENOENT) return false;
            break;
        default:
            return false;
    }
    IniText ini(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!key || !value) {
        // Deleting what is not there changes nothing, and a missing file
        // stays missing.
        bool changed = key ? ini.DeleteKey(section, *key) : ini.DeleteSection(section);
        return !changed || ReplaceFileContents(*path, ini.Text());
    }
    ini.Write(section, *key, *value);
    if (!HasFolder(file) && !Confined() && !MakeFolders(ConfigFolder())) return false;
    return ReplaceFileContents(*path, ini.Text());
}

}  // namespace tallow::platform
