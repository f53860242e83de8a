// The runtime's own services for the code linked into the program: core
// commands, DLL commands and the core library. Components, the browser
// library, sound and the application do not include this: they reach the
// runtime through abi.h (service table, notification entry) only.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include "runtime/abi.h"
#include "runtime/value_blocks.h"

namespace rt {

// Heap (the process heap on Windows). allocMemory and reallocMemory never
// return null: failure is the run-time error "分配 %d 字节内存失败!".
void* allocMemory(uint32_t size);
// The report for a failed request of size bytes; does not return.
[[noreturn]] void allocationFailed(uint32_t size);
void* allocRaw(uint32_t size);                // null on failure
void* reallocMemory(void* p, uint32_t size);  // constant-area p: copied
void freeMemory(void* p);                     // ignores null and constants
void setConstantArea(const uint8_t* start, uint32_t size);
bool isConstant(const void* p);

// Allocator over the runtime heap for the commands' working texts: running
// out of memory is the run-time error report, never a std::bad_alloc
// escaping through a command.
template <class T>
struct HeapAllocator {
  using value_type = T;
  HeapAllocator() = default;
  template <class U>
  HeapAllocator(const HeapAllocator<U>&) {}
  T* allocate(size_t n) {
    if (n > UINT32_MAX / sizeof(T)) allocationFailed(UINT32_MAX);
    return static_cast<T*>(allocMemory(uint32_t(n * sizeof(T))));
  }
  void deallocate(T* p, size_t) { freeMemory(p); }
  template <class U>
  bool operator==(const HeapAllocator<U>&) const { return true; }
};
using HeapString = std::basic_string<char, std::char_traits<char>, HeapAllocator<char>>;

// Values. New texts and byte-sets come from allocMemory; empty ones are null.
inline char* newText(std::string_view s) { return buildText(s, allocMemory); }
inline uint8_t* newByteSet(const void* data, uint32_t n) {
  return buildByteSet(data, n, allocMemory);
}

// The run-time error report: shows the box, then ends with exit code -1.
[[noreturn]] void reportError(std::string_view message, int32_t code, int32_t w1, int32_t w2);

// Process state, valid after runtime initialisation.
const std::string& runDirectory();     // no trailing backslash
const std::string& moduleDirectory();  // with trailing backslash
void processEvents();                  // leaves WM_QUIT in the queue

// The runtime notification entry handed to every library at start-up.
int32_t RT_CALL notify(int32_t code, uint32_t p1, uint32_t p2);

}  // namespace rt
