// The runtime heap with the constant area carved out: constant pointers are
// never freed, and resizing one copies it out.
#include <cstdio>
#include <cstring>
#include "runtime/heap_platform.h"
#include "runtime/runtime.h"
#include "runtime/text_length_cache.h"

namespace rt {
namespace {
const uint8_t* gConstStart = nullptr;
const uint8_t* gConstEnd = nullptr;

}  // namespace

void allocationFailed(uint32_t size) {
  char msg[64];
  std::snprintf(msg, sizeof msg, "分配 %d 字节内存失败!", static_cast<int32_t>(size));
  reportError(msg, 0, 0, 0);
}

void setConstantArea(const uint8_t* start, uint32_t size) {
  gConstStart = size ? start : nullptr;
  gConstEnd = size ? start + size : nullptr;
}

bool isConstant(const void* p) {
  auto b = static_cast<const uint8_t*>(p);
  return gConstStart && b >= gConstStart && b < gConstEnd;
}

void* allocRaw(uint32_t size) { return platformAlloc(size); }

void* allocMemory(uint32_t size) {
  void* p = platformAlloc(size);
  if (!p) allocationFailed(size);
  return p;
}

void* reallocMemory(void* p, uint32_t size) {
  if (!p) return allocMemory(size);
  if (isConstant(p)) {
    // Copy no further than the constant area's end.
    auto src = static_cast<const uint8_t*>(p);
    uint32_t avail = static_cast<uint32_t>(gConstEnd - src);
    void* q = allocMemory(size);
    std::memcpy(q, src, size < avail ? size : avail);
    return q;
  }
  forgetTextsIn(p, platformSize(p));
  void* q = platformRealloc(p, size);
  if (!q) allocationFailed(size);
  return q;
}

void freeMemory(void* p) {
  if (!p || isConstant(p)) return;
  forgetTextsIn(p, platformSize(p));
  platformFree(p);
}

}  // namespace rt
