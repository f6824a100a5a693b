// The registry: hierarchical keys under four roots holding named, typed
// values. The real registry on Windows; an SQLite database on Linux.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tallow::platform {

enum class RegistryRoot : uint8_t { kClassesRoot, kCurrentUser, kLocalMachine, kUsers };

// Value types, with the numbers the Win32 registry gives them.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

enum class RegistryEnum { kValue, kNoMoreItems, kError };

// How long an operation on a key waits while another process holds the
// store locked (Linux: a write of another process in progress). Standard
// error says what is waited for once the wait grows noticeable, and when it
// is given up.
enum class RegistryWait {
    kNeeded,    // the caller needs the answer: wait for seconds
    kOptional,  // the caller can go on without it: give up soon, and at
                // once while a recent wait of this kind has just given up
};

// An open key. Paths below the root use backslashes; names of keys and
// values compare without regard to ASCII case and keep the case they were
// created with. A closed key fails every operation.
class RegistryKey {
public:
    RegistryKey();
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key, for reading only or with all access; false when
    // it does not exist or cannot be opened. Never creates anything. Every
    // operation on the key waits as wait says.
    bool Open(RegistryRoot root, std::string_view path, bool write,
              RegistryWait wait = RegistryWait::kNeeded);
    // Opens the key with all access, creating it and its missing parents.
    bool Create(RegistryRoot root, std::string_view path);
    void Close();
    bool IsOpen() const { return impl_ != nullptr; }

    // Writes the value name (empty: the key's default value) with the given
    // type and bytes, replacing any value of that name.
    bool SetValue(std::string_view name, uint32_t type, std::string_view data);
    // Reads a value's type and all of its bytes; false when it is missing.
    bool QueryValue(std::string_view name, uint32_t& type, std::string& data) const;
    // The value at index (from 0, in a stable order), kNoMoreItems past the last.
    RegistryEnum EnumValue(uint32_t index, std::string& name, uint32_t& type, std::string& data) const;
    bool DeleteValue(std::string_view name);
    // Deletes the subkey at the relative path with its values; fails when it
    // is missing or has subkeys of its own.
    bool DeleteSubKey(std::string_view path);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace tallow::platform
