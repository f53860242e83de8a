// Positions in an edit box's text: the native control counts UTF-16 units,
// the property services count GBK bytes. A text is given as the GBK width of
// each of its units (a surrogate pair's width on its first unit, 0 on the
// second), so no conversion happens here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace comp {

using UnitWidths = std::vector<uint8_t>;

// GBK bytes before unit `units` (clamped to the text).
int64_t bytesBefore(const UnitWidths& w, size_t units);

// The first unit starting `bytes` or more into the text: a character that
// `bytes` falls inside is passed over whole. Clamped to the text's end.
size_t unitAtByte(const UnitWidths& w, int64_t bytes);

// Units of the longest prefix of a text that fits in `room` bytes.
size_t unitsFitting(const UnitWidths& w, int64_t room);

// Bytes left for text that replaces units [start, end) when the whole may
// hold maxLength bytes (the ends are clamped to the text).
int64_t roomForReplacement(const UnitWidths& w, int32_t maxLength, size_t start, size_t end);

struct UnitRange {
  size_t start, end;
};

// The selection properties as units: start and length in bytes; a negative
// start puts the caret at the end, a negative length selects everything.
UnitRange selectionUnits(const UnitWidths& w, int32_t start, int32_t length);

}  // namespace comp
