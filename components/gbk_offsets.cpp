#include "components/gbk_offsets.h"
#include <algorithm>

namespace comp {

int64_t bytesBefore(const UnitWidths& w, size_t units) {
  int64_t b = 0;
  for (size_t i = 0; i < std::min(units, w.size()); ++i) b += w[i];
  return b;
}

size_t unitAtByte(const UnitWidths& w, int64_t bytes) {
  size_t i = 0;
  for (int64_t b = 0; i < w.size() && b < bytes;) b += w[i++];
  while (i < w.size() && w[i] == 0) ++i;  // never between the halves of a pair
  return i;
}

size_t unitsFitting(const UnitWidths& w, int64_t room) {
  size_t n = 0;
  for (int64_t used = 0; n < w.size(); ++n) {
    used += w[n];
    if (used > room) break;
  }
  return n;
}

int64_t roomForReplacement(const UnitWidths& w, int32_t maxLength, size_t start, size_t end) {
  start = std::min(start, w.size());
  end = std::min(std::max(start, end), w.size());
  return int64_t{maxLength} - bytesBefore(w, w.size()) + (bytesBefore(w, end) - bytesBefore(w, start));
}

UnitRange selectionUnits(const UnitWidths& w, int32_t start, int32_t length) {
  if (length < 0) return {0, w.size()};
  size_t s = start < 0 ? w.size() : unitAtByte(w, start);
  // Wide: a length up to the largest integer means "to the end".
  return {s, unitAtByte(w, bytesBefore(w, s) + length)};
}

}  // namespace comp
