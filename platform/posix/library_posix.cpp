// Shared libraries on Linux through dlopen. A bare file name that exists in
// the current folder is loaded from there, as Windows would.
#include "platform/confinement.h"
#include "platform/library.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

namespace tallow::platform {

namespace {

// An absolute form of path when it names an existing file, so the library
// later knows where it was loaded from; otherwise path for the search.
std::string ResolvePath(const std::string& path) {
    if (path.find('/') == std::string::npos && access(path.c_str(), F_OK) != 0) return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) return resolved;
    return path.find('/') == std::string::npos ? "./" + path : path;
}

}  // namespace

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
    handle_ = dlopen(ResolvePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle_ != nullptr;
}

void* Library::Find(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

void Library::Free() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
}

}  // namespace tallow::platform
