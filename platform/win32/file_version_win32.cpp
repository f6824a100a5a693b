// File versions through the version API (GetFileVersionInfoA and
// VerQueryValueA), and files read at offsets with ReadFile.
#include "platform/file_version.h"

#include <windows.h>

#include <new>
#include <vector>

#include "platform/confinement.h"

namespace tallow::platform {

VersionLookup SystemFileVersion(const std::string& path, FileVersion& version) {
    if (!PathAllowed(path)) return VersionLookup::kNoInfo;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return VersionLookup::kNoInfo;
    std::vector<char> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        return VersionLookup::kNoMemory;
    }
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return VersionLookup::kNoInfo;
    void* value = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(block.data(), root, &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO))
        return VersionLookup::kNoInfo;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    version.mostSignificant = fixed->dwFileVersionMS;
    version.leastSignificant = fixed->dwFileVersionLS;
    return VersionLookup::kFound;
}

namespace {
HANDLE AsHandle(intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}
}  // namespace

RandomAccessFile::~RandomAccessFile() {
    if (handle_ != -1) CloseHandle(AsHandle(handle_));
}

bool RandomAccessFile::Open(const std::string& path) {
    if (handle_ != -1 || !PathAllowed(path)) return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    // Only files on disk: a pipe or a device has no size to read up to.
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size) || size.QuadPart < 0) {
        CloseHandle(h);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    size_ = uint64_t(size.QuadPart);
    return true;
}

bool RandomAccessFile::ReadAt(uint64_t offset, void* out, size_t size) {
    if (handle_ == -1 || offset > size_ || size > size_ - offset) return false;
    char* to = static_cast<char*>(out);
    while (size > 0) {
        OVERLAPPED at = {};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size), done = 0;
        if (!ReadFile(AsHandle(handle_), to, chunk, &done, &at) || done == 0) return false;
        to += done;
        offset += done;
        size -= done;
    }
    return true;
}

}  // namespace tallow::platform
