// Case-insensitive names: folding, hashing and the member name lists that
// give every script object its statement and function ids.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallow {

// Names fold the ASCII letters only, so both targets agree byte for byte.
inline char FoldChar(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool NamesEqual(std::string_view a, std::string_view b);
std::string FoldName(std::string_view name);

struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const;
};
struct NameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return NamesEqual(a, b); }
};

// A map keyed by names compared without regard to case.
template <class V>
using NameMap = std::unordered_map<std::string, V, NameHash, NameEqual>;

// A list of member names where entry id-1 holds the name registered under id.
// Lookup gives the first matching entry, as a scan from the front would, but
// through a hash index that is rebuilt after the list changes.
class NameList {
public:
    void Set(int id, std::string_view name);  // id >= 1; grows the list as needed
    int Find(std::string_view name) const;    // the id of the first match, or 0
    const std::string& At(int id) const { return names_[size_t(id - 1)]; }
    int Size() const { return int(names_.size()); }
    void Truncate(int size);
    // Every change of the list advances *counter (the owner's generation of
    // names, which what is remembered about names is checked against).
    void CountChangesIn(uint32_t* counter) { counter_ = counter; }

private:
    std::vector<std::string> names_;
    mutable NameMap<int> index_;
    mutable bool indexValid_ = false;
    uint32_t* counter_ = nullptr;
};

}  // namespace tallow
