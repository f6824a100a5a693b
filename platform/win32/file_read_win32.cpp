// Reading a whole regular file with CreateFileA, GetFileSizeEx and ReadFile.
#include <windows.h>

#include <algorithm>

#include "platform/file_read.h"
#include "platform/win32/unique_handle_win32.h"

namespace tallow::platform {

namespace {

// ReadFile takes at most this many bytes per call.
constexpr size_t kReadChunk = size_t(1) << 24;

}  // namespace

FileRead ReadFileBytes(const std::string& path, size_t maxSize, std::vector<uint8_t>& out) {
    UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) return FileRead::kCannotOpen;
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) return FileRead::kCannotOpen;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return FileRead::kCannotOpen;
    if (uint64_t(size.QuadPart) > maxSize) return FileRead::kTooLarge;
    out.resize(size_t(size.QuadPart));
    size_t done = 0;
    while (done < out.size()) {
        DWORD chunk = DWORD(std::min(out.size() - done, kReadChunk)), n = 0;
        if (!ReadFile(file.Get(), out.data() + done, chunk, &n, nullptr) || n == 0) break;
        done += n;
    }
    out.resize(done);
    return done == size_t(size.QuadPart) ? FileRead::kRead : FileRead::kFailed;
}

}  // namespace tallow::platform
