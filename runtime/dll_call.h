// Caller side of a DLL command, for compiled application code: needs only
// abi.h. The stack pointer is saved before the arguments are pushed and
// compared after the call, so a declaration with the wrong argument count,
// widths or removal rule is caught as run-time error 6.
#pragma once
#include <cstdint>
#include "runtime/abi.h"

#if defined(_WIN32) && defined(__i386__)
namespace rt {

// Calls DLL command `number` with `count` argument words; words[0] is the
// first argument's low word (a 64-bit argument takes two words, low first).
// callerPops: the declaration says the caller removes the arguments (cdecl).
// Returns EDX:EAX; floating-point results are not supported. On a stack
// mismatch reports code 6 with the location words w1, w2 and does not return.
inline uint64_t callDllCommand(const ServiceTable* services, int32_t number,
                               const uint32_t* words, int32_t count, bool callerPops,
                               int32_t w1, int32_t w2) {
  uint32_t lo = uint32_t(number);
  uint32_t hi = uint32_t(reinterpret_cast<uintptr_t>(services->callDllCommand));
  uint32_t left = uint32_t(count > 0 ? count : 0);
  const uint32_t popBytes = callerPops ? left * 4 : 0;
  // Everything live across the call sits in callee-saved registers, and no
  // operand is addressed through ESP, which moves while the words are pushed.
  __asm__ volatile(
      "movl %%esp, %%esi\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%%edi,%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n"
      "2:\n\t"
      "call *%%edx\n\t"
      "addl %%ebx, %%esp\n\t"
      "xorl %%ecx, %%ecx\n\t"
      "cmpl %%esp, %%esi\n\t"
      "setne %%cl\n\t"
      "movl %%esi, %%esp\n\t"
      : "+a"(lo), "+d"(hi), "+c"(left)
      : "D"(words), "b"(popBytes)
      : "esi", "memory", "cc", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)",
        "st(7)");
  if (left != 0) services->reportRuntimeError(6, w1, w2);
  return (uint64_t(hi) << 32) | lo;
}

}  // namespace rt
#endif
