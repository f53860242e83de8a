#include "browser/bmp_image.h"

#include <cstdint>
#include <cstring>

namespace web {
namespace {

void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
  put16(p, v);
  put16(p + 2, v >> 16);
}

}  // namespace

uint32_t bmpFileSize(int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (width <= 0 || height <= 0 || bitsPerPixel <= 0) return 0;
  // Width times height fits in 64 bits; times the depth it may not.
  uint64_t pixels = uint64_t(width) * uint64_t(height);
  if (pixels > UINT64_MAX / uint64_t(bitsPerPixel)) return 0;
  uint64_t size = uint64_t(bitsPerPixel) * pixels / 8 + kBmpHeaderSize;
  return size > 0xFFFFFFF0u ? 0 : uint32_t(size);
}

void writeBmpHeader(uint8_t* out, int32_t width, int32_t height, int32_t bitsPerPixel) {
  std::memset(out, 0, kBmpHeaderSize);
  out[0] = 'B';
  out[1] = 'M';
  put32(out + 2, bmpFileSize(width, height, bitsPerPixel));
  put32(out + 10, kBmpHeaderSize);
  put32(out + 14, 40);
  put32(out + 18, uint32_t(width));
  put32(out + 22, uint32_t(height));
  put16(out + 26, 1);
  put16(out + 28, uint32_t(bitsPerPixel));
}

}  // namespace web
