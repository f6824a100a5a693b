// The table of a program's heap blocks: allocation through the C runtime's
// allocator, and the checks that keep every address inside a live block.
#include "heap_blocks.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/memory_block.h"

namespace tallow {

namespace {

// A block of 0 bytes is still a block with an address of its own; the
// allocator is asked for one byte, as malloc(0) and realloc(p, 0) differ
// between C runtimes (glibc's realloc frees the block).
size_t AtLeastOne(size_t size) {
    return size ? size : 1;
}

// 2^64, the first number no address reaches.
constexpr double kAddressEnd = 18446744073709551616.0;

}  // namespace

uintptr_t AddressFromNumber(double number) {
    if (!(number >= 0 && number < kAddressEnd)) return 0;
    uint64_t value = uint64_t(std::trunc(number));
    if (value > UINTPTR_MAX) return 0;
    return uintptr_t(value);
}

HeapBlocks::~HeapBlocks() {
    for (const auto& [start, size] : blocks_)
        std::free(reinterpret_cast<void*>(start));
}

bool HeapBlocks::WithinBudget(size_t growth, size_t budget) const {
    if (refuseAllocation) return false;
    return !budget || (total_ <= budget && growth <= budget - total_);
}

uintptr_t HeapBlocks::Allocate(size_t size, size_t budget) {
    if (!WithinBudget(size, budget)) return 0;
    void* block = std::malloc(AtLeastOne(size));
    if (!block) return 0;
    size_t usable = platform::BlockUsableSize(block);
    uintptr_t start = reinterpret_cast<uintptr_t>(block);
    blocks_[start] = usable;
    total_ += usable;
    return start;
}

std::optional<uintptr_t> HeapBlocks::Reallocate(uintptr_t address, size_t size, size_t budget) {
    auto it = blocks_.find(address);
    if (it == blocks_.end()) return std::nullopt;
    size_t old = it->second;
    if (size > old && !WithinBudget(size - old, budget)) return uintptr_t(0);
    void* block = std::realloc(reinterpret_cast<void*>(address), AtLeastOne(size));
    if (!block) return uintptr_t(0);
    blocks_.erase(it);
    size_t usable = platform::BlockUsableSize(block);
    uintptr_t start = reinterpret_cast<uintptr_t>(block);
    blocks_[start] = usable;
    total_ = total_ - old + usable;
    return start;
}

bool HeapBlocks::Free(uintptr_t address) {
    auto it = blocks_.find(address);
    if (it == blocks_.end()) return false;
    total_ -= it->second;
    blocks_.erase(it);
    std::free(reinterpret_cast<void*>(address));
    return true;
}

size_t HeapBlocks::SizeOf(uintptr_t address) const {
    auto it = blocks_.find(address);
    return it == blocks_.end() ? 0 : it->second;
}

const std::pair<const uintptr_t, size_t>* HeapBlocks::BlockHolding(uintptr_t address) const {
    auto it = blocks_.upper_bound(address);
    if (it == blocks_.begin()) return nullptr;
    --it;
    // The end of a block counts as inside it, for ranges of no bytes.
    if (address - it->first > it->second) return nullptr;
    return &*it;
}

void* HeapBlocks::Bytes(uintptr_t address, size_t size) const {
    if (!address) return nullptr;
    if (trustAddresses) return reinterpret_cast<void*>(address);
    const auto* block = BlockHolding(address);
    if (!block) return nullptr;
    size_t room = block->second - (address - block->first);
    return size <= room ? reinterpret_cast<void*>(address) : nullptr;
}

std::optional<std::string_view> HeapBlocks::TextAt(uintptr_t address) const {
    if (!address) return std::nullopt;
    const char* text = reinterpret_cast<const char*>(address);
    if (trustAddresses) return std::string_view(text);
    const auto* block = BlockHolding(address);
    if (!block) return std::nullopt;
    size_t room = block->second - (address - block->first);
    const void* nul = std::memchr(text, '\0', room);
    return std::string_view(text, nul ? size_t(static_cast<const char*>(nul) - text) : room);
}

}  // namespace tallow
