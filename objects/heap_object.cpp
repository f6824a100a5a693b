// The Heap object's members and constants. Every member reads all its
// parameters first; an address must then name a live block of this program
// (or lie inside one, with room for the bytes the member touches), else the
// member reports "Invalid heap address!" and touches nothing.
#include "heap_object.h"

#include <cmath>
#include <cstring>

#include "core/main_object.h"
#include "core/messages.h"
#include "core/program.h"
#include "expr/member_table.h"
#include "expr/operators.h"
#include "objects/heap_bytes.h"

namespace tallow {

namespace {

// The number types of readnumber and writenumber: the hn constants.
struct NumberType {
    const char* name;
    int value;
    int bytes;
    bool isSigned;
};
constexpr NumberType kNumberTypes[] = {
    {"hnByte", 1, 1, false}, {"hnChar", 2, 1, true},    {"hnWord", 4, 2, false},
    {"hnShort", 8, 2, true}, {"hnDWord", 16, 4, false}, {"hnLong", 32, 4, true},
};

const NumberType* FindNumberType(int value) {
    for (const NumberType& t : kNumberTypes)
        if (t.value == value) return &t;
    return nullptr;
}

// The integer writenumber stores the low bits of: truncated toward zero,
// wide enough that every unsigned 32-bit value keeps its bits. NaN and
// numbers past the range give INT64_MIN, whose low bits are all 0.
int64_t ToInt64(double value) {
    if (!(value > -9223372036854775808.0 && value < 9223372036854775808.0)) return INT64_MIN;
    return int64_t(value);
}

constexpr StatementMember kStatements[] = {
    {"free", 1, Call<&HeapObject::Free>},
    {"set", 2, Call<&HeapObject::Set>},
    {"copy", 3, Call<&HeapObject::Copy>},
    {"writenumber", 4, Call<&HeapObject::WriteNumber>},
    {"writestring", 5, Call<&HeapObject::WriteString>},
};
constexpr NumFunctionMember kNumFunctions[] = {
    {"alloc", 1, Call<&HeapObject::Alloc>},           {"allocstring", 2, Call<&HeapObject::AllocString>},
    {"realloc", 3, Call<&HeapObject::Realloc>},       {"sizeof", 4, Call<&HeapObject::SizeOf>},
    {"readnumber", 5, Call<&HeapObject::ReadNumber>},
};
constexpr StringFunctionMember kStringFunctions[] = {
    {"readstring", 1, Call<&HeapObject::ReadString>},
};
constexpr MemberTable kMembers{kStatements, kNumFunctions, kStringFunctions};
static_assert(IdsInOrder(kMembers));

}  // namespace

HeapObject::HeapObject(Program& program) : ScriptObject(program, "Heap") {
    AddMembers(kMembers);
    for (const NumberType& t : kNumberTypes)
        program.Main().constants.Set(t.name, t.value);
    program.heapBlocks = &blocks_;
}

HeapObject::~HeapObject() {
    if (program_.heapBlocks == &blocks_) program_.heapBlocks = nullptr;
}

uintptr_t HeapObject::ReadAddress() {
    return AddressFromNumber(program_.Eval().EvalNum());
}

size_t HeapObject::ReadCount() {
    int32_t count = ToInt32(program_.Eval().EvalNum());
    if (count < 0) program_.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    return size_t(count);
}

void* HeapObject::BytesAt(uintptr_t address, size_t size) {
    void* bytes = blocks_.Bytes(address, size);
    if (!bytes) program_.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    return bytes;
}

bool HeapObject::Fits(size_t growth) {
    // Small blocks are counted against what the program was last measured
    // to hold (the next measure finds them); a big one measures now.
    constexpr size_t kMeasureFrom = size_t(64) << 10;
    if (growth > program_.MemoryRoom(growth >= kMeasureFrom)) return false;
    program_.NoteMemory(growth);
    return true;
}

// free = "free" address. Freeing 0 (a failed alloc's result) does nothing;
// any other address must start a live block.
void HeapObject::Free() {
    program_.Eval().HasFirstParam(true);
    uintptr_t address = ReadAddress();
    if (address && !blocks_.Free(address)) program_.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
}

// set = "set" address "," byte "," count
void HeapObject::Set() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    uintptr_t address = ReadAddress();
    ev.HasNextParam(true);
    int value = ToInt32(ev.EvalNum()) & 0xFF;
    ev.HasNextParam(true);
    size_t count = ReadCount();
    std::memset(BytesAt(address, count), value, count);
}

// copy = "copy" destination "," source "," count. Overlapping ranges are
// copied as if through a buffer.
void HeapObject::Copy() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    uintptr_t destination = ReadAddress();
    ev.HasNextParam(true);
    uintptr_t source = ReadAddress();
    ev.HasNextParam(true);
    size_t count = ReadCount();
    void* to = BytesAt(destination, count);
    std::memmove(to, BytesAt(source, count), count);
}

// writenumber = "writenumber" address "," value "," type. The low bits of
// the value, least significant byte first.
void HeapObject::WriteNumber() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    uintptr_t address = ReadAddress();
    ev.HasNextParam(true);
    uint64_t value = uint64_t(ToInt64(ev.EvalNum()));
    ev.HasNextParam(true);
    const NumberType* type = FindNumberType(ToInt32(ev.EvalNum()));
    if (!type) program_.ReportError(kRuntimeKind, msg::kUnknownNumberType);
    auto* bytes = static_cast<unsigned char*>(BytesAt(address, size_t(type->bytes)));
    for (int i = 0; i < type->bytes; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

// writestring = "writestring" address "," strexpr. The text and its NUL.
void HeapObject::WriteString() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    uintptr_t address = ReadAddress();
    ev.HasNextParam(true);
    std::string text = ev.EvalString();
    std::memcpy(BytesAt(address, text.size() + 1), text.c_str(), text.size() + 1);
}

// alloc = "alloc(" size ")". 0 when the block cannot be had: the allocator
// refuses, the size is negative, or the program would then hold more than
// its memory limit.
double HeapObject::Alloc() {
    program_.Eval().HasFirstParam(true);
    int32_t size = ToInt32(program_.Eval().EvalNum());
    if (size < 0 || !Fits(size_t(size))) return 0;
    return NumberFromAddress(blocks_.Allocate(size_t(size), 0));
}

// allocstring = "allocstring(" strexpr ")": a block of the text and its NUL.
double HeapObject::AllocString() {
    program_.Eval().HasFirstParam(true);
    std::string text = program_.Eval().EvalString();
    uintptr_t address = Fits(text.size() + 1) ? blocks_.Allocate(text.size() + 1, 0) : 0;
    if (address) std::memcpy(reinterpret_cast<void*>(address), text.c_str(), text.size() + 1);
    return NumberFromAddress(address);
}

// realloc = "realloc(" address "," size ")". The block's new address, or 0
// with the old block left as it was.
double HeapObject::Realloc() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    uintptr_t address = ReadAddress();
    ev.HasNextParam(true);
    int32_t size = ToInt32(ev.EvalNum());
    if (!blocks_.SizeOf(address)) program_.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    size_t old = blocks_.SizeOf(address);
    if (size < 0 || (size_t(size) > old && !Fits(size_t(size) - old))) return 0;
    return NumberFromAddress(*blocks_.Reallocate(address, size_t(size), 0));
}

// sizeof = "sizeof(" address ")"
double HeapObject::SizeOf() {
    program_.Eval().HasFirstParam(true);
    size_t size = blocks_.SizeOf(ReadAddress());
    if (!size) program_.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    return double(size);
}

// readnumber = "readnumber(" address "," type ")": zero-extended for the
// unsigned types, sign-extended for the signed ones.
double HeapObject::ReadNumber() {
    Evaluator& ev = program_.Eval();
    ev.HasFirstParam(true);
    uintptr_t address = ReadAddress();
    ev.HasNextParam(true);
    const NumberType* type = FindNumberType(ToInt32(ev.EvalNum()));
    if (!type) program_.ReportError(kRuntimeKind, msg::kUnknownNumberType);
    const auto* bytes = static_cast<const unsigned char*>(BytesAt(address, size_t(type->bytes)));
    uint64_t value = 0;
    for (int i = 0; i < type->bytes; ++i)
        value |= uint64_t(bytes[i]) << (8 * i);
    int bits = 8 * type->bytes;
    if (type->isSigned && (value >> (bits - 1)) & 1) return double(int64_t(value) - (int64_t(1) << bits));
    return double(value);
}

// readstring = "readstring(" address ")": the text up to its NUL, or up to
// the end of the block when the block holds no NUL after the address.
std::string HeapObject::ReadString() {
    program_.Eval().HasFirstParam(true);
    std::optional<std::string_view> text = blocks_.TextAt(ReadAddress());
    if (!text) program_.ReportError(kRuntimeKind, msg::kInvalidHeapAddress);
    return std::string(*text);
}

}  // namespace tallow
