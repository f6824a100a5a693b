// The largest values the engine builds. Past them an operation fails with
// "out of memory" (the statement loop turns length_error into that error)
// instead of exhausting the address space of a 32-bit process.
#pragma once

#include <cstddef>
#include <stdexcept>

namespace tallow {

// Bytes in one string: 256 MiB, so that a copy still fits beside it.
constexpr size_t kMaxStringLength = size_t(1) << 28;
// Elements in one array: 64 Mi (512 MiB of numbers).
constexpr size_t kMaxArrayElements = size_t(1) << 26;
// Bytes in one array, its elements and their texts: 512 MiB.
constexpr size_t kMaxArrayBytes = size_t(1) << 29;

// Throws length_error when a value of size grown by added would pass limit.
inline void CheckGrowth(size_t size, size_t added, size_t limit) {
    if (added > limit || size > limit - added) throw std::length_error("value too large");
}

}  // namespace tallow
