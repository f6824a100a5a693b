// Case-insensitive name comparison, hashing and member name lists.
#include "names.h"

namespace tallow {

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldChar(a[i]) != FoldChar(b[i])) return false;
    return true;
}

std::string FoldName(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        c = FoldChar(c);
    return s;
}

size_t NameHash::operator()(std::string_view s) const {
    // FNV-1a over the folded bytes.
    uint64_t h = 1469598103934665603ull;
    for (char c : s) {
        h ^= uint8_t(FoldChar(c));
        h *= 1099511628211ull;
    }
    return size_t(h);
}

void NameList::Set(int id, std::string_view name) {
    if (id < 1) return;
    if (size_t(id) > names_.size()) names_.resize(size_t(id));
    names_[size_t(id - 1)] = std::string(name);
    indexValid_ = false;
    if (counter_) ++*counter_;
}

void NameList::Truncate(int size) {
    if (size < 0 || size_t(size) >= names_.size()) return;
    names_.resize(size_t(size));
    indexValid_ = false;
    if (counter_) ++*counter_;
}

int NameList::Find(std::string_view name) const {
    if (!indexValid_) {
        index_.clear();
        for (size_t i = 0; i < names_.size(); ++i)
            if (!names_[i].empty()) index_.try_emplace(names_[i], int(i + 1));
        indexValid_ = true;
    }
    auto it = index_.find(name);
    return it == index_.end() ? 0 : it->second;
}

}  // namespace tallow
