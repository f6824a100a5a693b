// Fuzz target: key paths of the registry store. The input is NUL-separated
// fields: an operation byte, then a path (backslashes between parts; empty
// parts, odd bytes and case are the fuzzer's) and for values a name and data.
// Each input works below a key of its own. Checked against a model of the
// keys and values: a created key opens under any spelling that differs in
// ASCII case or empty parts; a value written reads back with its type and
// bytes and enumerates once; a key with subkeys is not deleted, a leaf is
// and no longer opens.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace {

using tallow::platform::RegistryEnum;
using tallow::platform::RegistryKey;
using tallow::platform::RegistryRoot;

// Operations on one input at most: each may be a transaction.
constexpr size_t kMaxOperations = 24;

void Check(bool ok) {
    if (!ok) std::abort();
}

// The store lives in a private folder, on a memory file system where there
// is one: every transaction syncs.
void UseOwnStore() {
    static bool done = false;
    if (done) return;
    done = true;
    std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    static std::filesystem::path folder = base / ("tallow-registry-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    std::atexit([] { std::filesystem::remove_all(folder); });
}

// A path's parts as the store compares them: empty parts dropped, ASCII
// letters folded.
std::vector<std::string> Parts(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            std::string part(path.substr(start, end - start));
            for (char& c : part)
                if (c >= 'A' && c <= 'Z') c = char(c + 32);
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string path;
    for (const std::string& part : parts)
        path += "\\" + part;
    return path;
}

// ASCII letters in the other case.
std::string OtherCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = c >= 'a' && c <= 'z' ? char(c - 32) : c >= 'A' && c <= 'Z' ? char(c + 32) : c;
    return out;
}

std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return out;
}

// The same path spelled otherwise: letters in the other case, a leading
// separator and every separator doubled.
std::string Respelled(std::string_view path) {
    std::string out = "\\";
    for (char c : OtherCase(path)) {
        out += c;
        if (c == '\\') out += c;
    }
    return out;
}

// The operation a byte names: its place in letters ("c" create, "v" value,
// "x" delete, "e" enumerate), else the byte modulo their number.
unsigned Operation(char byte, std::string_view letters) {
    size_t at = letters.find(byte);
    return at != std::string_view::npos ? unsigned(at) : unsigned(uint8_t(byte)) % unsigned(letters.size());
}

bool IsBelow(const std::vector<std::string>& inner, const std::vector<std::string>& outer) {
    return inner.size() > outer.size() && std::equal(outer.begin(), outer.end(), inner.begin());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UseOwnStore();
    static unsigned runs = 0;
    const std::string base = "Software\\Fuzz\\" + std::to_string(getpid()) + "-" + std::to_string(++runs);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> fields;
    for (size_t start = 0; start <= input.size();) {
        size_t end = input.find('\0', start);
        if (end == std::string_view::npos) end = input.size();
        fields.push_back(input.substr(start, end - start));
        start = end + 1;
    }

    std::set<std::vector<std::string>> keys = {std::vector<std::string>()};  // below base; {} is base
    std::map<std::vector<std::string>, std::map<std::string, std::pair<uint32_t, std::string>>> values;
    {
        RegistryKey root;
        Check(root.Create(RegistryRoot::kCurrentUser, base));
    }
    size_t at = 0;
    for (size_t done = 0; done < kMaxOperations && at < fields.size(); ++done) {
        std::string_view op = fields[at++];
        if (op.empty() || at >= fields.size()) break;
        std::string_view path = fields[at++];
        std::vector<std::string> parts = Parts(path);
        std::string full = base + "\\" + std::string(path);
        RegistryKey key;
        switch (Operation(op[0], "cvxe")) {
            case 0: {  // create, then open it spelled otherwise
                Check(key.Create(RegistryRoot::kCurrentUser, full));
                for (size_t n = 1; n <= parts.size(); ++n)
                    keys.insert(std::vector<std::string>(parts.begin(), parts.begin() + std::ptrdiff_t(n)));
                RegistryKey again;
                Check(again.Open(RegistryRoot::kCurrentUser, base + Respelled(path), false));
                break;
            }
            case 1: {  // write a value and read it back under the other case
                std::string name(at < fields.size() ? fields[at++] : std::string_view());
                std::string bytes(at < fields.size() ? fields[at++] : std::string_view());
                bool exists = keys.count(parts) > 0;
                Check(key.Open(RegistryRoot::kCurrentUser, full, true) == exists);
                if (!exists) break;
                uint32_t type = bytes.empty() ? tallow::platform::kRegDword : uint32_t(uint8_t(bytes[0]) % 5);
                Check(key.SetValue(name, type, bytes));
                values[parts][Folded(name)] = {type, bytes};
                uint32_t readType = 0;
                std::string read;
                Check(key.QueryValue(OtherCase(name), readType, read) && readType == type && read == bytes);
                break;
            }
            case 2: {  // delete a key: only a leaf goes
                if (parts.empty()) break;
                std::vector<std::string> parent(parts.begin(), parts.end() - 1);
                RegistryKey above;
                bool parentExists = keys.count(parent) > 0;
                Check(above.Open(RegistryRoot::kCurrentUser, base + Joined(parent), true) == parentExists);
                if (!parentExists) break;
                bool leaf = keys.count(parts) > 0;
                for (const std::vector<std::string>& k : keys)
                    if (IsBelow(k, parts)) leaf = false;
                Check(above.DeleteSubKey(OtherCase(parts.back())) == leaf);
                if (leaf) {
                    keys.erase(parts);
                    values.erase(parts);
                }
                Check(!key.Open(RegistryRoot::kCurrentUser, full, false) || !leaf);
                break;
            }
            default: {  // enumerate the values of a key
                bool exists = keys.count(parts) > 0;
                Check(key.Open(RegistryRoot::kCurrentUser, full, false) == exists);
                if (!exists) break;
                size_t count = 0;
                std::string name, bytes;
                uint32_t type = 0;
                for (uint32_t index = 0; key.EnumValue(index, name, type, bytes) == RegistryEnum::kValue;
                     ++index)
                    ++count;
                Check(key.EnumValue(uint32_t(count), name, type, bytes) == RegistryEnum::kNoMoreItems);
                Check(count == values[parts].size());
                break;
            }
        }
    }
    return 0;
}
