// The fixed version numbers of a program file from its version resource,
// through the system's version API where it has one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tallow::platform {

// The two halves of a fixed file version: 4.0.1.2 is {0x00040000, 0x00010002}.
struct FileVersion {
    uint32_t mostSignificant = 0;
    uint32_t leastSignificant = 0;
};

enum class VersionLookup {
    kFound,
    kNoInfo,          // the file has no version resource, or it cannot be read
    kNoMemory,        // no room for the resource
    kNoSystemLookup,  // the system has no version API: read the file itself
};

VersionLookup SystemFileVersion(const std::string& path, FileVersion& version);

// A file read at arbitrary offsets, for readers of binary formats. The file
// is open while the object lives.
class RandomAccessFile {
public:
    RandomAccessFile() = default;
    ~RandomAccessFile();
    RandomAccessFile(const RandomAccessFile&) = delete;
    RandomAccessFile& operator=(const RandomAccessFile&) = delete;

    // Opens a regular file for reading; false for anything else.
    bool Open(const std::string& path);
    uint64_t Size() const { return size_; }
    // Reads exactly size bytes at offset; false when the file is shorter or
    // the read fails.
    bool ReadAt(uint64_t offset, void* out, size_t size);

private:
    intptr_t handle_ = -1;  // a descriptor, or a Win32 HANDLE
    uint64_t size_ = 0;
};

}  // namespace tallow::platform
