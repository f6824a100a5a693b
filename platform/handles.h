// The handle type the engine passes through the platform layer: a Win32
// HANDLE or HWND on Windows, a file descriptor cast to a pointer on Linux.
#pragma once

#include <cstdint>

namespace tallow::platform {

using Handle = void*;

inline Handle HandleFromFd(int fd) {
    return reinterpret_cast<Handle>(intptr_t(fd));
}
inline int FdFromHandle(Handle h) {
    return int(reinterpret_cast<intptr_t>(h));
}

}  // namespace tallow::platform
