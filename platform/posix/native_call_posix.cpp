// Native calls on Linux through libffi: each call's interface is built from
// the declared types, so integers travel at their declared width widened as
// the calling convention requires, and addresses as pointers.
#include "platform/native_call.h"

#include <ffi.h>

#include <vector>

namespace tallow::platform {

namespace {

ffi_type* FfiType(NativeType type) {
    static ffi_type* const kTypes[] = {&ffi_type_void,   &ffi_type_uint8,  &ffi_type_uint16,
                                       &ffi_type_uint32, &ffi_type_sint8,  &ffi_type_sint16,
                                       &ffi_type_sint32, &ffi_type_pointer};
    return kTypes[static_cast<size_t>(type)];
}

// One argument's storage at its own width, where libffi reads it.
union ArgValue {
    uint8_t u8;
    uint16_t u16;
    uint32_t u32;
    int8_t s8;
    int16_t s16;
    int32_t s32;
    void* pointer;
};

ArgValue ValueOf(const NativeArg& arg) {
    ArgValue v{};
    switch (arg.type) {
        case NativeType::U8:
            v.u8 = uint8_t(arg.number);
            break;
        case NativeType::U16:
            v.u16 = uint16_t(arg.number);
            break;
        case NativeType::S8:
            v.s8 = int8_t(arg.number);
            break;
        case NativeType::S16:
            v.s16 = int16_t(arg.number);
            break;
        case NativeType::Pointer:
            v.pointer = arg.pointer;
            break;
        default:
            v.u32 = arg.number;
            break;
    }
    return v;
}

}  // namespace

uint64_t CallNative(void* address, NativeType result, const NativeArg* args, size_t count) {
    std::vector<ffi_type*> types(count);
    std::vector<ArgValue> values(count);
    std::vector<void*> pointers(count);
    for (size_t i = 0; i < count; ++i) {
        types[i] = FfiType(args[i].type);
        values[i] = ValueOf(args[i]);
        pointers[i] = &values[i];
    }
    ffi_cif cif;
    if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, unsigned(count), FfiType(result), types.data()) != FFI_OK)
        return 0;
    ffi_arg raw = 0;
    ffi_call(&cif, reinterpret_cast<void (*)()>(address), &raw, pointers.data());
    return raw;
}

}  // namespace tallow::platform
