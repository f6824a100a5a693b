// Native calls on Windows: every argument becomes one machine word and a
// small routine passes them the way the platform's convention wants (32-bit:
// all on the stack; 64-bit: the first four in registers) and calls.
#include "platform/native_call.h"

#include <vector>

#if defined(_WIN64)
// TallowDynCall(fn, words, n): copies words[0..n) to a 16-byte aligned
// argument area of at least four slots (the callee's register home space),
// loads the first four into rcx, rdx, r8 and r9, calls fn and returns rax.
// Every argument is an integer or an address, so no xmm register is needed.
// The frame is described to the unwinder (.seh_*) so that a fault in the
// callee can be traced through it.
extern "C" uint64_t TallowDynCall(void* fn, const uintptr_t* words, uintptr_t n);

asm(R"(
    .text
    .p2align 4
    .globl TallowDynCall
    .def TallowDynCall; .scl 2; .type 32; .endef
    .seh_proc TallowDynCall
TallowDynCall:
    pushq %rbp
    .seh_pushreg %rbp
    pushq %rsi
    .seh_pushreg %rsi
    pushq %rdi
    .seh_pushreg %rdi
    movq %rsp, %rbp
    .seh_setframe %rbp, 0
    .seh_endprologue
    movq %rcx, %rax
    movq %rdx, %rsi
    movq %r8, %rdi
    movq %rdi, %r10
    cmpq $4, %r10
    jae 1f
    movq $4, %r10
1:
    shlq $3, %r10
    subq %r10, %rsp
    andq $-16, %rsp
    xorq %r11, %r11
2:
    cmpq %rdi, %r11
    jae 3f
    movq (%rsi,%r11,8), %r10
    movq %r10, (%rsp,%r11,8)
    incq %r11
    jmp 2b
3:
    movq 0(%rsp), %rcx
    movq 8(%rsp), %rdx
    movq 16(%rsp), %r8
    movq 24(%rsp), %r9
    callq *%rax
    movq %rbp, %rsp
    popq %rdi
    popq %rsi
    popq %rbp
    retq
    .seh_endproc
)");
#else
// TallowDynCall(fn, words, n): pushes words[n-1] down to words[0] on a
// 16-byte aligned stack, calls fn and returns its eax:edx. The stack pointer
// comes back from the frame, not from counting pops, so callee-pops
// (stdcall) and caller-pops (cdecl) functions both return cleanly. It is a
// top-level routine because pushes inside inline assembly would move the
// stack under operands the compiler addresses through esp.
extern "C" uint64_t TallowDynCall(void* fn, const uintptr_t* words, uintptr_t n);

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
#endif

namespace tallow::platform {

namespace {

// The machine word of one argument: small integers widened by their sign,
// addresses whole.
uintptr_t WordOf(const NativeArg& arg) {
    switch (arg.type) {
        case NativeType::U8:
            return uint8_t(arg.number);
        case NativeType::U16:
            return uint16_t(arg.number);
        case NativeType::S8:
            return uintptr_t(intptr_t(int8_t(arg.number)));
        case NativeType::S16:
            return uintptr_t(intptr_t(int16_t(arg.number)));
        case NativeType::S32:
            return uintptr_t(intptr_t(int32_t(arg.number)));
        case NativeType::Pointer:
            return reinterpret_cast<uintptr_t>(arg.pointer);
        default:
            return arg.number;
    }
}

}  // namespace

uint64_t CallNative(void* address, NativeType, const NativeArg* args, size_t count) {
    std::vector<uintptr_t> words(count + 1);
    for (size_t i = 0; i < count; ++i)
        words[i] = WordOf(args[i]);
    return TallowDynCall(address, words.data(), count);
}

}  // namespace tallow::platform
