// Calls into a function of a loaded library whose parameters are known only
// at run time: integers of 8, 16 and 32 bits and addresses, in the order the
// function declares them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tallow::platform {

enum class NativeType : uint8_t { Void, U8, U16, U32, S8, S16, S32, Pointer };

struct NativeArg {
    NativeType type = NativeType::U32;
    uint32_t number = 0;      // integer types: the value at the type's width
    void* pointer = nullptr;  // Pointer
};

// Calls address with args (first declared first) and returns the raw result
// register: the caller keeps the bits of the result type. The callee may pop
// its own arguments (stdcall) or leave them (cdecl). Whatever the callee does
// to memory is outside the caller's control.
uint64_t CallNative(void* address, NativeType result, const NativeArg* args, size_t count);

}  // namespace tallow::platform
