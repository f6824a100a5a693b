// What the two array types share: index checks, sizing and the member
// statements that work on any element type.
#pragma once

#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/program.h"
#include "expr/value_limits.h"

namespace tallow {

// Member ids shared by both array types.
enum ArrayStatement : int {
    kArrayAdd = 1,
    kArrayAddArray,
    kArrayInsert,
    kArrayDelete,
    kArrayClear,
    kArraySetSize,
    kArrayConcat,
    kArrayParseTok,
    kArraySort
};

template <class T>
T& CheckedElement(Program& p, std::vector<T>& items, int index) {
    if (index < 1 || size_t(index) > items.size()) p.ReportError(kRuntimeKind, msg::kIndexOutOfBounds);
    return items[size_t(index - 1)];
}

// Room for added more elements, within the engine's largest array and the
// program's memory budget (bytes more besides the elements themselves).
template <class T>
void CheckRoom(Program& p, const std::vector<T>& items, size_t added, size_t bytes = 0) {
    CheckGrowth(items.size(), added, kMaxArrayElements);
    if ((items.size() + added) * sizeof(T) > kMaxArrayBytes) throw std::length_error("array too large");
    p.ChargeMemory(added * sizeof(T) + bytes);
}

template <class T>
void ResizeArray(Program& p, std::vector<T>& items, int size) {
    size_t n = size < 0 ? 0 : size_t(size);
    if (n > items.size()) CheckRoom(p, items, n - items.size());
    items.resize(n);
}

// The bytes of text elements beyond the element itself.
inline size_t TextBytes(const std::string& s) {
    return s.size();
}
inline size_t TextBytes(double) {
    return 0;
}

// Appends a copy of source as it is now, so an array appended to itself
// doubles once.
template <class T>
void AppendCopy(Program& p, std::vector<T>& items, const std::vector<T>* source) {
    if (!source) return;
    size_t bytes = 0;
    for (const T& item : *source)
        bytes += TextBytes(item);
    CheckRoom(p, items, source->size(), bytes);
    std::vector<T> copy(*source);
    items.insert(items.end(), copy.begin(), copy.end());
}

// insert value, index: value becomes element index.
template <class T>
void InsertAt(Program& p, std::vector<T>& items, T value, int index) {
    CheckedElement(p, items, index);
    CheckRoom(p, items, 1);
    items.insert(items.begin() + (index - 1), std::move(value));
}

template <class T>
void DeleteAt(Program& p, std::vector<T>& items, int index) {
    CheckedElement(p, items, index);
    items.erase(items.begin() + (index - 1));
}

inline bool IsCountProperty(std::string_view name) {
    return NamesEqual(name, "count");
}

}  // namespace tallow
