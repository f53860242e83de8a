// The BMP size and header on any width, height and depth: the size is the
// exact pixel bytes plus the header, or 0 when that does not fit in 32 bits,
// and the header carries what it was given. The bytes after the first 12,
// read as a file image, give a layout only when its every row lies inside.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "browser/bmp_image.h"

namespace {
uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  int32_t v[3];
  std::memcpy(v, data, sizeof v);
  const int32_t width = v[0], height = v[1], bits = v[2];
  const uint32_t got = web::bmpFileSize(width, height, bits);

  uint32_t want = 0;
  if (width > 0 && height > 0 && bits > 0) {
    // 128 bits hold the product of three 31-bit factors.
    unsigned __int128 exact = (unsigned __int128)bits * unsigned(width) * unsigned(height) / 8 +
                              web::kBmpHeaderSize;
    want = exact > 0xFFFFFFF0u ? 0 : uint32_t(exact);
  }
  if (got != want) std::abort();

  uint8_t h[web::kBmpHeaderSize + 1];
  h[web::kBmpHeaderSize] = 0xA5;  // a write past the header shows here
  web::writeBmpHeader(h, width, height, bits);
  if (h[web::kBmpHeaderSize] != 0xA5 || h[0] != 'B' || h[1] != 'M') std::abort();
  if (le32(h + 2) != got || le32(h + 6) != 0 || le32(h + 10) != web::kBmpHeaderSize ||
      le32(h + 14) != 40 || le32(h + 18) != uint32_t(width) || le32(h + 22) != uint32_t(height))
    std::abort();
  if ((h[26] | h[27] << 8) != 1 || (h[28] | h[29] << 8) != (uint32_t(bits) & 0xFFFF)) std::abort();
  for (uint32_t o = 30; o < web::kBmpHeaderSize; ++o)
    if (h[o]) std::abort();

  const uint8_t* file = data + 12;
  web::BmpLayout l;
  if (web::readBmpLayout(file, size - 12, &l)) {
    for (uint32_t y : {0u, l.height - 1}) {
      const uint8_t* row = web::bmpRow(file, l, y);
      if (row < file || uint64_t(row - file) + uint64_t(l.width) * 4 > size - 12) std::abort();
    }
  }
  return 0;
}
