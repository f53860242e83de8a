#include "browser/bmp_image.h"

#include <cstring>

#include "runtime/byte_io.h"

namespace web {

constexpr uint32_t kInfoHeaderSize = 40;

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
  rt::ByteWriter w(out, kBmpHeaderSize);
  w.u8('B');
  w.u8('M');
  w.u32(bmpFileSize(width, height, bitsPerPixel));
  w.u32(0);
  w.u32(kBmpHeaderSize);
  w.u32(kInfoHeaderSize);
  w.i32(width);
  w.i32(height);
  w.u16(1);
  w.u16(uint16_t(bitsPerPixel));
}

bool readBmpLayout(const uint8_t* bmp, size_t size, BmpLayout* out) {
  rt::ByteReader r(bmp, size);
  const uint16_t magic = r.u16();
  r.take(8);  // file size, reserved
  const uint32_t pixelOffset = r.u32(), infoSize = r.u32();
  const int32_t width = r.i32(), height = r.i32();
  const uint16_t planes = r.u16(), bits = r.u16();
  const uint32_t compression = r.u32();
  if (r.bad || magic != ('B' | 'M' << 8) || infoSize < kInfoHeaderSize) return false;
  if (uint64_t(pixelOffset) < 14 + uint64_t(infoSize)) return false;
  if (planes != 1 || bits != 32 || compression != 0) return false;
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  const uint32_t rows = uint32_t(height < 0 ? -height : height);
  if (uint64_t(pixelOffset) + uint64_t(width) * rows * 4 > size) return false;
  *out = BmpLayout{uint32_t(width), rows, pixelOffset, height < 0};
  return true;
}

}  // namespace web
