#include "engine/changed_area.h"

#include <cstring>

namespace engine {
namespace {

// Pixels one at a time as words: a library memcmp may go byte by byte.
uint32_t pixel(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The first pixel from x on at which the rows differ; w when none.
int firstDiffering(const uint8_t* a, const uint8_t* b, int x, int w) {
  while (x < w && pixel(a + x * 4) == pixel(b + x * 4)) ++x;
  return x;
}

}  // namespace

Area changedArea(const uint8_t* old, const uint8_t* now, int w, int h) {
  const size_t stride = static_cast<size_t>(w) * 4;
  Area a{w, h, 0, 0};
  for (int y = 0; y < h; ++y) {
    const uint8_t* o = old + y * stride;
    const uint8_t* n = now + y * stride;
    int first = firstDiffering(o, n, 0, w);
    if (first == w) continue;
    int last = w - 1;
    while (last > first && pixel(o + last * 4) == pixel(n + last * 4)) --last;
    if (first < a.left) a.left = first;
    if (last + 1 > a.right) a.right = last + 1;
    if (a.top == h) a.top = y;
    a.bottom = y + 1;
  }
  return a.empty() ? Area{} : a;
}

}  // namespace engine
