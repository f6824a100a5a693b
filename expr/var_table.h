// Name/value tables: the variables of the script and the free-form members
// of every object. Names compare without regard to case; the first
// assignment fixes how a name is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "names.h"

namespace tallow {

class Program;

// A name's remembered entry in a variable table, valid while the table's
// generation is unchanged.
struct VarSlot {
    uint32_t generation = UINT32_MAX;
    uint32_t index = 0;
};

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

    // Set and find through a remembered slot: a hash lookup only the first
    // time, or after the table was emptied.
    void SetAt(VarSlot& slot, std::string_view name, Value value) {
        if (slot.generation == generation_) {
            values_[slot.index] = std::move(value);
            return;
        }
        slot = {generation_, Set(name, std::move(value))};
    }
    Value* FindAt(VarSlot& slot, std::string_view name) {
        if (slot.generation != generation_) {
            int i = Find(name);
            if (i < 0) return nullptr;
            slot = {generation_, uint32_t(i)};
        }
        return &values_[slot.index];
    }

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
    // Roughly what the table holds: names, values and their index entries.
    size_t Bytes() const {
        size_t bytes = values_.capacity() * sizeof(Value) + names_.capacity() * sizeof(std::string);
        for (size_t i = 0; i < names_.size(); ++i) {
            bytes += HeapBytes(names_[i]) + kEntryOverhead;
            if constexpr (std::is_same_v<Value, std::string>) bytes += HeapBytes(values_[i]);
        }
        return bytes;
    }
    const std::string& NameAt(size_t i) const { return names_[i]; }
    Value& At(size_t i) { return values_[i]; }
    // The values by entry, valid until the next entry is added.
    Value* Data() { return values_.data(); }
    const Value& At(size_t i) const { return values_[i]; }
    // Changes when entries disappear, so remembered indices can be checked.
    uint32_t Generation() const { return generation_; }

private:
    static constexpr size_t kEntryOverhead = 48;  // a node of the name index
    static size_t HeapBytes(const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; }
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
