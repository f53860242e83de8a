#include "tests/browser/guarded_heap_win.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace guarded {
namespace {

constexpr size_t kPage = 4096;
constexpr size_t kRegion = 96u << 20;   // reserved once; blocks are never reused

uint8_t* gBase;
volatile LONG gUsed;     // bytes of the region handed out, guard pages included
volatile LONG gBlocks;
volatile LONG gOn;

// A block at the start of its own pages, followed by one page never
// committed; null when the region is spent (plain malloc takes over).
void* take(size_t n) {
  size_t pages = (n ? n + kPage - 1 : kPage) / kPage;
  LONG span = LONG((pages + 1) * kPage);
  LONG at = InterlockedExchangeAdd(&gUsed, span);
  if (size_t(at) + size_t(span) > kRegion) return nullptr;
  void* p = VirtualAlloc(gBase + at, pages * kPage, MEM_COMMIT, PAGE_READWRITE);
  if (p) InterlockedIncrement(&gBlocks);
  return p;
}

void give(void* p) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(p, &info, sizeof info) && info.State == MEM_COMMIT)
    VirtualFree(p, info.RegionSize, MEM_DECOMMIT);
}

void* allocate(size_t n) {
  if (gOn && gBase)
    if (void* p = take(n)) return p;
  return std::malloc(n ? n : 1);
}

void release(void* p) {
  if (!p) return;
  if (owns(p)) give(p);
  else std::free(p);
}

}  // namespace

void enable(bool on) {
  if (!gBase)
    gBase = static_cast<uint8_t*>(VirtualAlloc(nullptr, kRegion, MEM_RESERVE, PAGE_NOACCESS));
  InterlockedExchange(&gOn, on ? 1 : 0);
}

bool owns(const void* p) {
  auto* b = static_cast<const uint8_t*>(p);
  return gBase && b >= gBase && b < gBase + kRegion;
}

size_t blocks() { return size_t(gBlocks); }

}  // namespace guarded

void* operator new(size_t n) {
  void* p = guarded::allocate(n);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return guarded::allocate(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return guarded::allocate(n); }
void operator delete(void* p) noexcept { guarded::release(p); }
void operator delete[](void* p) noexcept { guarded::release(p); }
void operator delete(void* p, size_t) noexcept { guarded::release(p); }
void operator delete[](void* p, size_t) noexcept { guarded::release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { guarded::release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { guarded::release(p); }
