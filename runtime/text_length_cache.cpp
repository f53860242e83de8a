#include "runtime/text_length_cache.h"

#include <atomic>
#include <cstring>

extern "C" {
volatile uint32_t paginetTextEpoch = 0;
}

namespace rt {
namespace {

// One text at a time: the one a loop of searches keeps coming back to.
// Other threads free blocks too, so the text pointer is atomic; the rest is
// touched only by the commands, on the window thread.
std::atomic<const char*> gText{nullptr};
size_t gClean = 0;       // bytes of gText known not to be zero
uint32_t gEpoch = 0;     // paginetTextEpoch when that was learnt

}  // namespace

bool textHasAtLeast(const char* t, size_t n) {
  size_t from = 0;
  if (gText.load(std::memory_order_acquire) == t && gEpoch == paginetTextEpoch) {
    if (n <= gClean) return true;
    from = gClean;
  }
  const size_t clean = from + strnlen(t + from, n - from);
  gClean = clean;
  gEpoch = paginetTextEpoch;
  gText.store(t, std::memory_order_release);
  return clean >= n;
}

void forgetTextsIn(const void* block, size_t size) {
  const auto* start = static_cast<const char*>(block);
  const char* t = gText.load(std::memory_order_acquire);
  if (t && t >= start && t < start + size) gText.compare_exchange_strong(t, nullptr);
}

}  // namespace rt
