// Native calls on 32-bit Windows: every argument becomes one 32-bit stack
// item and a small routine pushes them and calls.
#include "platform/native_call.h"

#include <vector>

// TallowDynCall(fn, words, n): pushes words[n-1] down to words[0] on a
// 16-byte aligned stack, calls fn and returns its eax:edx. The stack pointer
// comes back from the frame, not from counting pops, so callee-pops
// (stdcall) and caller-pops (cdecl) functions both return cleanly. It is a
// top-level routine because pushes inside inline assembly would move the
// stack under operands the compiler addresses through esp.
extern "C" uint64_t TallowDynCall(void* fn, const uint32_t* words, uint32_t n);

asm(R"(
    .text
    .p2align 4
    .globl _TallowDynCall
    .def _TallowDynCall; .scl 2; .type 32; .endef
_TallowDynCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    pushl %ebx
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %ecx, %edx
    shll $2, %edx
    subl %edx, %esp
    andl $-16, %esp
    addl %edx, %esp
1:
    testl %ecx, %ecx
    jz 2f
    pushl -4(%esi,%ecx,4)
    decl %ecx
    jmp 1b
2:
    movl 8(%ebp), %eax
    call *%eax
    leal -12(%ebp), %esp
    popl %ebx
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace tallow::platform {

namespace {

// The stack item of one argument: small integers widened by their sign.
uint32_t WordOf(const NativeArg& arg) {
    switch (arg.type) {
        case NativeType::U8:
            return uint8_t(arg.number);
        case NativeType::U16:
            return uint16_t(arg.number);
        case NativeType::S8:
            return uint32_t(int32_t(int8_t(arg.number)));
        case NativeType::S16:
            return uint32_t(int32_t(int16_t(arg.number)));
        case NativeType::Pointer:
            return uint32_t(reinterpret_cast<uintptr_t>(arg.pointer));
        default:
            return arg.number;
    }
}

}  // namespace

uint64_t CallNative(void* address, NativeType, const NativeArg* args, size_t count) {
    std::vector<uint32_t> words(count + 1);
    for (size_t i = 0; i < count; ++i)
        words[i] = WordOf(args[i]);
    return TallowDynCall(address, words.data(), uint32_t(count));
}

}  // namespace tallow::platform
