// The registry on Windows: thin wrappers over the advapi32 key and value calls.
#include "platform/registry.h"

#include <windows.h>

#include <vector>

namespace tallow::platform {

struct RegistryKey::Impl {
    HKEY key = nullptr;
    ~Impl() {
        if (key) RegCloseKey(key);
    }
};

namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::kClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::kCurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::kLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::kUsers:
            return HKEY_USERS;
    }
    return HKEY_CURRENT_USER;
}

// Longest value name the registry allows, with its NUL.
constexpr DWORD kMaxValueName = 16384;

}  // namespace

RegistryKey::RegistryKey() = default;
RegistryKey::~RegistryKey() = default;
RegistryKey::RegistryKey(RegistryKey&& other) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept = default;

// The registry itself never keeps a caller waiting on another process.
bool RegistryKey::Open(RegistryRoot root, std::string_view path, bool write, RegistryWait) {
    Close();
    HKEY key = nullptr;
    std::string p(path);
    if (RegOpenKeyExA(RootKey(root), p.c_str(), 0, write ? KEY_ALL_ACCESS : KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    impl_ = std::make_unique<Impl>();
    impl_->key = key;
    return true;
}

bool RegistryKey::Create(RegistryRoot root, std::string_view path) {
    Close();
    HKEY key = nullptr;
    std::string p(path);
    if (RegCreateKeyExA(RootKey(root), p.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    impl_ = std::make_unique<Impl>();
    impl_->key = key;
    return true;
}

void RegistryKey::Close() {
    impl_.reset();
}

bool RegistryKey::SetValue(std::string_view name, uint32_t type, std::string_view data) {
    if (!impl_) return false;
    std::string n(name);
    return RegSetValueExA(impl_->key, n.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          DWORD(data.size())) == ERROR_SUCCESS;
}

bool RegistryKey::QueryValue(std::string_view name, uint32_t& type, std::string& data) const {
    if (!impl_) return false;
    std::string n(name);
    // The value may grow between the size query and the read: retry then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD t = 0, size = 0;
        if (RegQueryValueExA(impl_->key, n.c_str(), nullptr, &t, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.resize(size);
        LONG rc =
            RegQueryValueExA(impl_->key, n.c_str(), nullptr, &t, reinterpret_cast<BYTE*>(data.data()), &size);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return false;
        data.resize(size);
        type = t;
        return true;
    }
    return false;
}

RegistryEnum RegistryKey::EnumValue(uint32_t index, std::string& name, uint32_t& type,
                                    std::string& data) const {
    if (!impl_) return RegistryEnum::kError;
    std::vector<char> nameBuffer(kMaxValueName);
    std::vector<BYTE> dataBuffer(1024);
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD nameSize = kMaxValueName, dataSize = DWORD(dataBuffer.size()), t = 0;
        LONG rc = RegEnumValueA(impl_->key, index, nameBuffer.data(), &nameSize, nullptr, &t,
                                dataBuffer.data(), &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS) return RegistryEnum::kNoMoreItems;
        if (rc == ERROR_MORE_DATA) {
            dataBuffer.resize(dataSize > dataBuffer.size() ? dataSize : dataBuffer.size() * 2);
            continue;
        }
        if (rc != ERROR_SUCCESS) return RegistryEnum::kError;
        name.assign(nameBuffer.data(), nameSize);
        data.assign(reinterpret_cast<const char*>(dataBuffer.data()), dataSize);
        type = t;
        return RegistryEnum::kValue;
    }
    return RegistryEnum::kError;
}

bool RegistryKey::DeleteValue(std::string_view name) {
    if (!impl_) return false;
    std::string n(name);
    return RegDeleteValueA(impl_->key, n.c_str()) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteSubKey(std::string_view path) {
    if (!impl_ || path.empty()) return false;
    std::string p(path);
    return RegDeleteKeyA(impl_->key, p.c_str()) == ERROR_SUCCESS;
}

}  // namespace tallow::platform
