// Files and directories, the current directory and drive, directory search
// with entry attributes, the tick count and waiting with the thread's window
// messages flowing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tallow::platform {

// Attribute bits of a directory entry. They are the values of the script's
// lf constants, so a listing filter is a plain bit test.
constexpr unsigned kAttrNormal = 1;  // a file with none of the other attributes
constexpr unsigned kAttrDirectory = 2;
constexpr unsigned kAttrHidden = 4;
constexpr unsigned kAttrSystem = 8;
constexpr unsigned kAttrReadOnly = 16;
constexpr unsigned kAttrArchive = 32;
constexpr unsigned kAttrAll = 63;

struct DirEntry {
    std::string name;  // the name alone, without its directory
    unsigned attributes = 0;
};

// One directory search over the entries that match a pattern with wildcards
// (a path whose last part may hold "*" and "?"). Entries come in the order
// the system enumerates them, "." and ".." of a directory included. The
// search holds a system handle while it is open; destruction closes it.
class DirSearch {
public:
    DirSearch();
    ~DirSearch();
    DirSearch(const DirSearch&) = delete;
    DirSearch& operator=(const DirSearch&) = delete;

    // Closes any search in progress and starts one for pattern. True with the
    // first entry; false, and closed, when nothing matches or the search
    // cannot start.
    bool Start(const std::string& pattern, DirEntry& first);
    // The next entry; false, and closed, at the end or when nothing is open.
    bool Next(DirEntry& entry);
    void Close();
    bool IsOpen() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Makes drive number drive (A = 1) current; false when it cannot. Linux has
// no drives: always false.
bool ChangeDrive(int drive);
bool ChangeDir(const std::string& path);
// The current directory, false when it cannot be read or is longer than the
// system's path limit.
bool CurrentDir(std::string& path);

bool MakeDir(const std::string& path);
// Removes an empty directory.
bool RemoveDir(const std::string& path);
// Renames or moves a file or directory; fails when target exists.
bool RenameEntry(const std::string& from, const std::string& to);
// Deletes a file (never a directory).
bool RemoveFile(const std::string& path);
// Copies a file, replacing an existing target. Copying a file onto itself
// fails and leaves it intact. Only regular files are copied: a directory, a
// FIFO or pipe, or a device as source or target fails at once, without
// waiting for the other end of a pipe.
bool CopyFileOver(const std::string& from, const std::string& to);
// Moves a file, also to another volume; fails when target exists.
bool MoveFileNoReplace(const std::string& from, const std::string& to);

// True when a file or directory of that path exists.
bool PathExists(const std::string& path);
// The size of a file in bytes (0 for a directory), or -1 when its status
// cannot be read.
int64_t FileSizeOf(const std::string& path);

// The system's millisecond tick count; it wraps, so compare differences.
uint32_t TickCount();
// Waits milliseconds. On Windows the calling thread's window messages are
// retrieved and dispatched throughout, so its windows stay responsive.
void WaitPumping(uint64_t milliseconds);

}  // namespace tallow::platform
