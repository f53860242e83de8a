// Value helpers beyond runtime.h: tag classification and numeric conversion.
#pragma once
#include <cstdint>
#include "runtime/abi.h"

namespace rt {

// Element size of a system type: 1, 2, 4, 8, 4, 8 for the numeric types, else 0.
inline uint32_t numericSize(uint32_t tag) {
  switch (tag) {
    case kTagByte: return 1;
    case kTagShort: return 2;
    case kTagInt: case kTagFloat: return 4;
    case kTagLong: case kTagDouble: return 8;
    default: return 0;
  }
}
// Bytes of the data field of a type stored inline: the numeric sizes, 4 for
// logical and sub-program pointer, 8 for date-time and the two-word type;
// 0 for texts, byte-sets and everything else.
inline uint32_t inlineSize(uint32_t tag) {
  switch (tag) {
    case kTagBool: case kTagSubPtr: return 4;
    case kTagDate: case kTagTwoWord: return 8;
    default: return numericSize(tag);
  }
}

// Numeric conversion of notification 2001. False for non-numeric tags.
// Reals out of the 32-bit range (and NaN) saturate instead of overflowing.
bool valueToInt32(const Value& v, int32_t* out);

// Bytes of one array element inline (4 for text and byte-set pointers).
uint32_t arrayElementSize(uint32_t baseTag);
// Byte size of a whole array block, header included.
uint64_t arrayBlockSize(const void* block, uint32_t tag);

}  // namespace rt
