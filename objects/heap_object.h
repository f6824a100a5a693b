// The built-in object Heap: raw memory blocks that a script allocates, fills,
// copies and reads numbers and texts from, each named by its address as a
// number. Other objects reach the same blocks through HeapBytes.
#pragma once

#include "expr/script_object.h"
#include "objects/heap_blocks.h"

namespace tallow {

namespace msg {
constexpr const char kUnknownNumberType[] = "Unknown number type!";
}  // namespace msg

class HeapObject : public ScriptObject {
public:
    // Registers as "Heap", defines the hn constants and makes its blocks the
    // program's (Program::heapBlocks) until it is destroyed, when it frees
    // the blocks still live.
    explicit HeapObject(Program& program);
    ~HeapObject() override;

    size_t MemoryInUse() const override { return ScriptObject::MemoryInUse() + blocks_.TotalBytes(); }

    // The members of its table, one per id; each reads its own parameters.
    void Free();
    void Set();
    void Copy();
    void WriteNumber();
    void WriteString();
    double Alloc();
    double AllocString();
    double Realloc();
    double SizeOf();
    double ReadNumber();
    std::string ReadString();

private:
    uintptr_t ReadAddress();
    // A size or count parameter, as a byte count; a negative one reports
    // "Invalid heap address!" (no block has room for it).
    size_t ReadCount();
    // The size bytes at address, or "Invalid heap address!".
    void* BytesAt(uintptr_t address, size_t size);
    // Whether growth more bytes of blocks keep the program within its
    // memory limit, beside everything else it holds; counts them if so.
    bool Fits(size_t growth);

    HeapBlocks blocks_;
};

}  // namespace tallow
