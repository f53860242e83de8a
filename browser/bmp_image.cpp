#include "browser/bmp_image.h"

#include <algorithm>
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

bool rowOrderWitness(const PixelRows& rows, int32_t* x, int32_t* k) {
  const size_t bytes = size_t(rows.width) * 4;
  for (int32_t top = 0, bottom = rows.height - 1; top < bottom; ++top, --bottom) {
    const uint8_t* a = rows.bits + size_t(top) * rows.stride;
    const uint8_t* b = rows.bits + size_t(bottom) * rows.stride;
    if (std::memcmp(a, b, bytes) == 0) continue;
    for (int32_t i = 0; i < rows.width; ++i)
      if (std::memcmp(a + size_t(i) * 4, b + size_t(i) * 4, 3) != 0) {   // alpha tells nothing
        *x = i;
        *k = top;
        return true;
      }
  }
  return false;
}

void copyBmpRows(uint8_t* out, int32_t width, int32_t height, const PixelRows& from, int32_t left,
                 int32_t top) {
  const int64_t x0 = std::max<int64_t>(0, -int64_t(left));
  const int64_t x1 = std::min<int64_t>(width, int64_t(from.width) - left);
  const int64_t y0 = std::max<int64_t>(0, -int64_t(top));
  const int64_t y1 = std::min<int64_t>(height, int64_t(from.height) - top);
  if (x0 >= x1) return;
  for (int64_t y = y0; y < y1; ++y) {
    const int64_t row = top + y;
    const uint8_t* src =
        from.bits + size_t(from.bottomUp ? from.height - 1 - row : row) * from.stride;
    std::memcpy(out + size_t(height - 1 - y) * size_t(width) * 4 + size_t(x0) * 4,
                src + size_t(left + x0) * 4, size_t(x1 - x0) * 4);
  }
}

}  // namespace web
