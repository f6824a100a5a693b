// The running program on Windows: full path names and the module handle.
#include "platform/application.h"

#include <windows.h>

namespace tallow::platform {

bool FullPathName(const std::string& path, std::string& full) {
    // The first call gives the size the name needs, its terminator included.
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return false;
    std::string buffer(size, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), size, buffer.data(), nullptr);
    if (length == 0 || length >= size) return false;
    buffer.resize(length);
    full = std::move(buffer);
    return true;
}

uintptr_t MainProgramHandle() {
    return reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
}

}  // namespace tallow::platform
