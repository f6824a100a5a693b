// Name/value tables: the variables of the script and the free-form members
// of every object. Names compare without regard to case; the first
// assignment fixes how a name is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "names.h"

namespace tallow {

class Program;

template <class Value>
class VarTable {
public:
    explicit VarTable(Program* program = nullptr) : program_(program) {}

    // Defines or overwrites name; returns the entry's index, which stays
    // valid until the next Clear.
    uint32_t Set(std::string_view name, Value value) {
        auto it = index_.find(name);
        if (it != index_.end()) {
            values_[it->second] = std::move(value);
            return it->second;
        }
        uint32_t i = uint32_t(values_.size());
        names_.emplace_back(name);
        values_.push_back(std::move(value));
        index_.emplace(names_.back(), i);
        return i;
    }

    // The value of name; "unknown variable encountered" (kind 0) if absent.
    const Value& Get(std::string_view name) const;

    int Find(std::string_view name) const {
        auto it = index_.find(name);
        return it == index_.end() ? -1 : int(it->second);
    }
    bool Exists(std::string_view name) const { return index_.find(name) != index_.end(); }

    void Clear() {
        names_.clear();
        values_.clear();
        index_.clear();
        ++generation_;
    }

    size_t Size() const { return values_.size(); }
    const std::string& NameAt(size_t i) const { return names_[i]; }
    Value& At(size_t i) { return values_[i]; }
    const Value& At(size_t i) const { return values_[i]; }
    // Changes when entries disappear, so remembered indices can be checked.
    uint32_t Generation() const { return generation_; }

private:
    [[noreturn]] void Unknown() const;

    Program* program_;
    std::vector<std::string> names_;
    std::vector<Value> values_;
    NameMap<uint32_t> index_;
    uint32_t generation_ = 0;
};

using NumVarTable = VarTable<double>;
using StrVarTable = VarTable<std::string>;

extern template class VarTable<double>;
extern template class VarTable<std::string>;

}  // namespace tallow
