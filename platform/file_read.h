// Reading a whole file into memory, after checking that it is a regular file
// (a directory cannot be read, a FIFO or a device might never end) and that
// it fits the caller's limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tallow::platform {

enum class FileRead {
    kRead,        // out holds every byte of the file
    kCannotOpen,  // missing, unreadable, or not a regular file
    kTooLarge,    // larger than the limit: nothing was read
    kFailed,      // an error while reading, or fewer bytes than its size
};

// Reads the file at path whole into out, when it holds at most maxSize bytes.
FileRead ReadFileBytes(const std::string& path, size_t maxSize, std::vector<uint8_t>& out);

}  // namespace tallow::platform
