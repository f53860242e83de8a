#include "runtime/value.h"
#include <cmath>
#include <cstring>
#include "runtime/runtime.h"

namespace rt {

uint32_t arrayElementSize(uint32_t baseTag) {
  return baseTag == kTagText || baseTag == kTagBin ? 4 : inlineSize(baseTag);
}

uint64_t arrayBlockSize(const void* block, uint32_t tag) {
  if (!block) return 0;
  auto w = static_cast<const uint32_t*>(block);
  uint64_t count = 1;
  for (uint32_t i = 0; i < w[0]; ++i) count *= w[1 + i];
  return 4ull * (1 + w[0]) + count * arrayElementSize(tag & ~kArrayFlag);
}

namespace {
int32_t truncateReal(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483647.0) return INT32_MAX;
  if (d <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(d);
}
}  // namespace

bool valueToInt32(const Value& v, int32_t* out) {
  switch (v.tag) {
    case kTagByte: *out = static_cast<uint8_t>(v.w[0]); return true;
    case kTagShort: *out = static_cast<int16_t>(v.w[0]); return true;
    case kTagInt: case kTagLong: *out = static_cast<int32_t>(v.w[0]); return true;
    case kTagFloat: *out = truncateReal(v.f); return true;
    case kTagDouble: *out = truncateReal(v.d); return true;
    default: return false;
  }
}

}  // namespace rt
