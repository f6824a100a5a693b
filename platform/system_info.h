// Where the system keeps things and who is using it: the well-known
// directories, short and long path names, temporary files, the user's name
// and the system's version.
#pragma once

#include <cstdint>
#include <string>

namespace tallow::platform {

// The temporary, Windows and system directories, without trailing path
// separators (a drive root comes back as "C:", the Linux root as ""). False
// when the system cannot tell.
bool TempDir(std::string& path);
bool WindowsDir(std::string& path);
bool SystemDir(std::string& path);

// The short (8.3) form of an existing path; Linux has no short names and
// gives the path itself. "" when the path does not exist.
std::string ShortPathName(const std::string& path);
// path with its last component replaced by the name of the entry it finds,
// as the directory stores it (names compare without regard to case, and
// wildcards find the first match). "" when nothing is found.
std::string LongPathName(const std::string& path);

// Creates a new, empty file with a unique name in directory: prefix (its
// first three characters), a hexadecimal number and ".tmp". The name is
// directory, a separator when it lacks one, ".", a separator and the file
// name (so "/tmp" gives "/tmp/./cod1A2B.tmp"). "" when no file can be made.
std::string CreateTempFile(const std::string& directory, const std::string& prefix);

// The logged-on user's name, "" when it cannot be had.
std::string UserName();

// The system's major and minor version (on Linux the kernel release's).
struct SystemVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
};
SystemVersion GetSystemVersion();

}  // namespace tallow::platform
