// Initialisation files on Windows: the private-profile functions of kernel32.
// Reads grow their buffer until the answer fits, so nothing is cut.
#include <windows.h>

#include <optional>

#include "platform/confinement.h"
#include "platform/ini_text.h"
#include "platform/profile.h"

namespace tallow::platform {

namespace {

// The first buffer of a read; it doubles while the answer fills it.
constexpr DWORD kFirstBuffer = 4096;
// Past this a read takes what fits: far beyond any settings file.
constexpr DWORD kMaxBuffer = DWORD(64) << 20;
// GetPrivateProfileStringA answers a cut value with the buffer size less 1,
// a cut name list with the size less 2.
constexpr DWORD kValueCut = 1;
constexpr DWORD kListCut = 2;

// The name handed to the profile functions; nothing for one that may not be
// used. Confined, a name without a folder stays in the current folder.
std::optional<std::string> FileName(const std::string& file) {
    if (file.empty() || !PathAllowed(file)) return std::nullopt;
    if (Confined() && file.find_first_of("\\/:") == std::string::npos) return ".\\" + file;
    return file;
}

// GetPrivateProfileStringA with a buffer that grows until the answer fits;
// the answer's characters, without the final NUL.
std::string ReadWhole(const char* section, const char* key, const char* defaultValue, const std::string& file,
                      DWORD cut) {
    std::string buffer;
    for (DWORD size = kFirstBuffer;; size *= 2) {
        buffer.assign(size, '\0');
        DWORD n = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, file.c_str());
        if (n + cut < size || size >= kMaxBuffer) {
            buffer.resize(n < size ? n : 0);
            return buffer;
        }
    }
}

// A list of NUL-terminated names, empty ones left out.
std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace

std::string ReadProfileString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& defaultValue) {
    std::optional<std::string> name = FileName(file);
    if (!name) return IniDefault(defaultValue);
    return ReadWhole(section.c_str(), key.c_str(), defaultValue.c_str(), *name, kValueCut);
}

uint32_t ReadProfileNumber(const std::string& file, const std::string& section, const std::string& key,
                           int32_t defaultValue) {
    std::optional<std::string> name = FileName(file);
    if (!name) return uint32_t(defaultValue);
    return GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, name->c_str());
}

std::vector<std::string> ProfileSectionNames(const std::string& file) {
    std::optional<std::string> name = FileName(file);
    if (!name) return {};
    return SplitNames(ReadWhole(nullptr, nullptr, "", *name, kListCut));
}

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section) {
    std::optional<std::string> name = FileName(file);
    if (!name) return {};
    return SplitNames(ReadWhole(section.c_str(), nullptr, "", *name, kListCut));
}

bool WriteProfileEntry(const std::string& file, const std::string& section, const std::string* key,
                       const std::string* value) {
    std::optional<std::string> name = FileName(file);
    if (!name) return false;
    return WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr,
                                      key && value ? value->c_str() : nullptr, name->c_str()) != FALSE;
}

}  // namespace tallow::platform
