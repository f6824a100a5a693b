// The running program on Linux: real paths and the main program's handle.
#include "platform/application.h"

#include <dlfcn.h>

#include <cstdlib>
#include <memory>

namespace tallow::platform {

bool FullPathName(const std::string& path, std::string& full) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return false;
    full = resolved.get();
    return true;
}

uintptr_t MainProgramHandle() {
    // The main program is never unloaded: its handle stays the same after
    // the reference taken here is given back.
    void* handle = ::dlopen(nullptr, RTLD_LAZY);
    if (!handle) return 0;
    ::dlclose(handle);
    return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace tallow::platform
