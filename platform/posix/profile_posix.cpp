// Initialisation files on Linux: the file read whole and handed to IniText;
// a write puts the new text into a fresh file in the same folder and renames
// it over the old one, so that a failure or a crash halfway leaves the old
// file whole. The written file keeps the old one's permissions, and a
// symbolic link keeps pointing at the file it named.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

#include "platform/confinement.h"
#include "platform/file_read.h"
#include "platform/ini_text.h"
#include "platform/posix/config_folder.h"
#include "platform/posix/owned_fd_posix.h"
#include "platform/profile.h"

namespace tallow::platform {

namespace {

// The largest file read: far beyond any settings file, and well inside the
// memory of a 32-bit process. A larger one reads as missing and is never
// written.
constexpr size_t kMaxProfileBytes = size_t(64) << 20;

// How often a fresh name for the new file is tried.
constexpr int kTempNameTries = 100;

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

// A new file beside target, opened for writing with the permissions a new
// file gets (0666 less the umask); its name goes to tempPath.
int CreateBeside(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < kTempNameTries; ++attempt) {
        tempPath = folder + "." + name + "." + std::to_string(getpid()) + "." + std::to_string(counter++);
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Replaces the file at target with text. A target that exists must be a
// regular file (through any symbolic link, which stays).
bool Replace(const std::string& path, const std::string& text) {
    std::string target = path;
    struct stat old {};
    bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return false;
        char resolved[PATH_MAX];
        if (!::realpath(path.c_str(), resolved)) return false;
        target = resolved;
    } else if (errno != ENOENT) {
        return false;
    }
    std::string tempPath;
    bool written = false;
    {
        OwnedFd out(CreateBeside(target, tempPath));
        if (out.Get() < 0) return false;
        written = WriteAll(out.Get(), text) && (!exists || ::fchmod(out.Get(), old.st_mode & 07777) == 0) &&
                  ::fsync(out.Get()) == 0;
    }
    if (written && ::rename(tempPath.c_str(), target.c_str()) == 0) return true;
    ::unlink(tempPath.c_str());
    return false;
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
        return !changed || Replace(*path, ini.Text());
    }
    ini.Write(section, *key, *value);
    if (!HasFolder(file) && !Confined() && !MakeFolders(ConfigFolder())) return false;
    return Replace(*path, ini.Text());
}

}  // namespace tallow::platform
