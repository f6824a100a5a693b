// The Linux counterparts of the system's well-known places: $TMPDIR (or
// /tmp) for temporary files, /usr for the Windows directory and /usr/lib for
// the system directory; the user from the password database; the version
// from the kernel's release.
#include "platform/system_info.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/confinement.h"
#include "platform/file_system.h"

namespace tallow::platform {

namespace {

constexpr char kWindowsDir[] = "/usr";
constexpr char kSystemDir[] = "/usr/lib";
// Unique numbers are 16 bits wide, as on Windows; 0 is never used.
constexpr unsigned kUniqueNumbers = 0xFFFF;

std::string WithoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

// The leading decimal number of text from pos on, moving pos past it; at
// most 0xFFFFFFFF.
uint32_t LeadingNumber(const char* text, size_t& pos) {
    uint64_t n = 0;
    for (; text[pos] >= '0' && text[pos] <= '9'; ++pos)
        if (n <= 0xFFFFFFFFu) n = n * 10 + uint64_t(text[pos] - '0');
    return n > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(n);
}

}  // namespace

bool TempDir(std::string& path) {
    const char* tmp = std::getenv("TMPDIR");
    path = WithoutTrailingSlashes(tmp && *tmp ? tmp : "/tmp");
    return true;
}

bool WindowsDir(std::string& path) {
    path = kWindowsDir;
    return true;
}

bool SystemDir(std::string& path) {
    path = kSystemDir;
    return true;
}

std::string ShortPathName(const std::string& path) {
    return !path.empty() && PathExists(path) ? path : std::string();
}

// An entry that exists under the name given is stored under it; otherwise
// the directory search finds what Windows would (any case, wildcards).
std::string LongPathName(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = path.substr(directory.size());
    if (name.empty()) return std::string();
    struct stat st;
    if (name.find_first_of("*?") == std::string::npos && PathAllowed(path) && ::lstat(path.c_str(), &st) == 0)
        return path;
    DirSearch search;
    DirEntry entry;
    if (!search.Start(path, entry)) return std::string();
    return directory + entry.name;
}

std::string CreateTempFile(const std::string& directory, const std::string& prefix) {
    if (!PathAllowed(directory)) return std::string();
    std::string base = directory;
    if (base.empty() || base.back() != '/') base += '/';
    base += "./" + prefix.substr(0, 3);
    unsigned unique = TickCount() & kUniqueNumbers;
    for (unsigned tries = 0; tries < kUniqueNumbers; ++tries, unique = unique % kUniqueNumbers + 1) {
        if (unique == 0) unique = 1;
        char number[16];
        std::snprintf(number, sizeof number, "%X.tmp", unique);
        std::string path = base + number;
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) break;
    }
    return std::string();
}

std::string UserName() {
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? size_t(suggested) : 1024);
    passwd entry;
    passwd* found = nullptr;
    int error;
    while ((error = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (error == 0 && found && found->pw_name) return found->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

// A release "6.1.0-18-amd64" is version 6.1.
SystemVersion GetSystemVersion() {
    SystemVersion version;
    utsname names;
    if (::uname(&names) != 0) return version;
    size_t pos = 0;
    version.major = LeadingNumber(names.release, pos);
    if (names.release[pos] == '.') version.minor = LeadingNumber(names.release, ++pos);
    return version;
}

}  // namespace tallow::platform
