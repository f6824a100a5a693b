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
    kArrayAdd = 1, kArrayAddArray, kArrayInsert, kArrayDelete, kArrayClear, kArraySetSize, kArrayConcat,
    kArrayParseTok, kArraySort
};

template <class T>
T& CheckedElement(Program& p, std::vector<T>& items, int index) {
    if (index < 1 || size_t(index) > items.size()) p.ReportError(kRuntimeKind, msg::kIndexOutOfBounds);
    return items[size_t(index - 1)];
}

template <class T>
void ResizeArray(std::vector<T>& items, int size) {
    size_t n = size < 0 ? 0 : size_t(size);
    CheckGrowth(0, n, kMaxArrayElements);
    items.resize(n);
}

// Room for added more elements, within the engine's largest array.
template <class T>
void CheckRoom(const std::vector<T>& items, size_t added) {
    CheckGrowth(items.size(), added, kMaxArrayElements);
}

// Appends a copy of source as it is now, so an array appended to itself
// doubles once.
template <class T>
void AppendCopy(std::vector<T>& items, const std::vector<T>* source) {
    if (!source) return;
    CheckRoom(items, source->size());
    std::vector<T> copy(*source);
    items.insert(items.end(), copy.begin(), copy.end());
}

// insert value, index: value becomes element index.
template <class T>
void InsertAt(Program& p, std::vector<T>& items, T value, int index) {
    CheckedElement(p, items, index);
    CheckRoom(items, 1);
    items.insert(items.begin() + (index - 1), std::move(value));
}

template <class T>
void DeleteAt(Program& p, std::vector<T>& items, int index) {
    CheckedElement(p, items, index);
    items.erase(items.begin() + (index - 1));
}

inline bool IsCountProperty(std::string_view name) { return NamesEqual(name, "count"); }

}  // namespace tallow
