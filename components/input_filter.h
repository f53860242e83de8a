// Edit box input rules that need no window: the character filter of the
// numeric input modes and the automatic up-down step.
#pragma once
#include <cstdint>

namespace comp {

// Control characters always pass; printable ones by input mode.
inline bool inputModeAccepts(int32_t mode, uint32_t ch) {
  if (ch < 32) return true;
  bool digit = ch >= '0' && ch <= '9';
  switch (mode) {
    case 3: case 6: case 7: case 8: return digit || ch == '-';
    case 4: case 9: case 10: return digit || ch == '-' || ch == '.';
    case 5: return digit;
    default: return true;
  }
}

// One click of an automatic up-down: past either end wraps to the other.
inline int32_t upDownStep(int32_t value, bool up, int32_t lo, int32_t hi) {
  int64_t v = static_cast<int64_t>(value) + (up ? 1 : -1);
  if (v > hi) return lo;
  if (v < lo) return hi;
  return static_cast<int32_t>(v);
}

}  // namespace comp
