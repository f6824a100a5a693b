// The memory blocks that a program's Heap object handed out, by address. A
// script names a block by its address as a number; every member that takes
// an address (the Heap object's and other objects' buffers, see HeapBytes)
// finds the block here first, so a stale or made-up address is an error
// instead of a write into memory the script does not own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

namespace tallow {

// The address a script's number stands for: truncated toward zero to a full
// pointer value (64 bits on Linux, where a double holds every user-space
// address exactly). NaN, infinities and numbers outside the range give 0,
// which is never a block.
uintptr_t AddressFromNumber(double number);
inline double NumberFromAddress(uintptr_t address) {
    return double(address);
}

class HeapBlocks {
public:
    HeapBlocks() = default;
    // Frees every block still live: they belong to the program's scripts,
    // and nothing can reach them once the program is gone.
    ~HeapBlocks();
    HeapBlocks(const HeapBlocks&) = delete;
    HeapBlocks& operator=(const HeapBlocks&) = delete;

    // A new block of size bytes (contents undefined), or 0 when the
    // allocator refuses or when the live blocks would then hold more than
    // budget bytes (0: no budget).
    uintptr_t Allocate(size_t size, size_t budget);
    // Resizes the live block at address, which may move; the new address,
    // or 0 when the allocator or the budget refuses (the old block stays
    // live). Nullopt, with nothing done, when address starts no live block.
    std::optional<uintptr_t> Reallocate(uintptr_t address, size_t size, size_t budget);
    // Releases the live block at address; false when address starts none.
    bool Free(uintptr_t address);
    // The usable size of the live block at address (at least the size asked
    // for), or 0 when address starts none.
    size_t SizeOf(uintptr_t address) const;

    // The size bytes at address, when they lie inside one live block; null
    // otherwise. Trusting addresses, any address but 0 is taken as it is.
    void* Bytes(uintptr_t address, size_t size) const;
    // The NUL-terminated text at address, ending at the block's end when the
    // block holds no NUL after address; nullopt as for Bytes. Trusting
    // addresses, the text runs to its NUL wherever that is.
    std::optional<std::string_view> TextAt(uintptr_t address) const;

    size_t Count() const { return blocks_.size(); }
    // The usable bytes of all live blocks.
    size_t TotalBytes() const { return total_; }

    // Raw addresses from elsewhere (memory a declared library function
    // returned) are used as they are by Bytes and TextAt. Allocating,
    // resizing, freeing and sizing always want a block of this table.
    bool trustAddresses = false;
    // Every allocation gives 0, as if the allocator refused it: for runs
    // that must not depend on where the allocator puts blocks (the fuzz
    // target that compares two programs' output).
    bool refuseAllocation = false;

private:
    // The live block that holds address (its start and usable size), or
    // nullptr.
    const std::pair<const uintptr_t, size_t>* BlockHolding(uintptr_t address) const;
    bool WithinBudget(size_t growth, size_t budget) const;

    std::map<uintptr_t, size_t> blocks_;  // start address -> usable size
    size_t total_ = 0;
};

}  // namespace tallow
