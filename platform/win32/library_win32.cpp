// Shared libraries on Windows through LoadLibraryA.
#include "platform/confinement.h"
#include "platform/library.h"

#include <windows.h>

namespace tallow::platform {

Library& Library::operator=(Library&& other) noexcept {
    if (this != &other) {
        Free();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

bool Library::Load(const std::string& path) {
    Free();
    if (path.empty() || Confined()) return false;
    // No "cannot find the module" box for a missing library.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    handle_ = LoadLibraryA(path.c_str());
    SetErrorMode(oldMode);
    return handle_ != nullptr;
}

void* Library::Find(const char* name) const {
    return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

void Library::Free() {
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

}  // namespace tallow::platform
