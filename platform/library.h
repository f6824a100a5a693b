// Shared libraries loaded at run time: extension libraries and the
// libraries a script calls into.
#pragma once

#include <string>

namespace tallow::platform {

// One reference to a loaded library; the destructor releases it.
class Library {
public:
    Library() = default;
    ~Library() { Free(); }
    Library(Library&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    Library& operator=(Library&& other) noexcept;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Loads the library at path (releasing any held before); false on failure.
    bool Load(const std::string& path);
    // The address of the exported symbol name, or null.
    void* Find(const char* name) const;
    void Free();
    bool IsLoaded() const { return handle_ != nullptr; }

private:
    void* handle_ = nullptr;
};

}  // namespace tallow::platform
