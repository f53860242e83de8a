// The BMP file image of a snapshot, the one home of its layout: a 54-byte
// header, then the rows, bottom-up as snapshots are written (a negative
// height, read only, means top-down).
#pragma once
#include <cstddef>
#include <cstdint>

namespace web {

constexpr uint32_t kBmpHeaderSize = 54;

// Size of the file image, or 0 when it would not fit in 32 bits.
uint32_t bmpFileSize(int32_t width, int32_t height, int32_t bitsPerPixel);

// Writes the 54 header bytes; `out` must hold kBmpHeaderSize bytes.
void writeBmpHeader(uint8_t* out, int32_t width, int32_t height, int32_t bitsPerPixel);

// Where the pixels of a 32-bit uncompressed BMP file image lie.
struct BmpLayout {
  uint32_t width, height;
  size_t pixelOffset;
  bool topDown;   // negative height: the first stored row is the top one
};

// False, with *out untouched, for anything but a 32-bit uncompressed BMP
// file image, or one too short for its pixels.
bool readBmpLayout(const uint8_t* bmp, size_t size, BmpLayout* out);

// A picture's 32-bit pixel rows, `stride` bytes apart.
struct PixelRows {
  const uint8_t* bits;
  int32_t width, height;
  size_t stride;
  bool bottomUp;   // the first stored row is the bottom one
};

// GDI does not tell a section's row order. This finds a pixel that tells
// it: in the first stored row k whose pixel x differs in colour from that
// of row height-1-k. False when there is none: the picture reads the same in
// either order.
bool rowOrderWitness(const PixelRows& rows, int32_t* x, int32_t* k);

// Copies the part of `from` whose top-left corner is (left, top) into the
// bottom-up rows of a width x height 32-bit BMP at `out`. Pixels that fall
// outside `from` are left as they are.
void copyBmpRows(uint8_t* out, int32_t width, int32_t height, const PixelRows& from, int32_t left,
                 int32_t top);

// The 4-byte pixels of row y counted from the top.
inline const uint8_t* bmpRow(const uint8_t* bmp, const BmpLayout& l, uint32_t y) {
  return bmp + l.pixelOffset + size_t(l.width) * 4 * (l.topDown ? y : l.height - 1 - y);
}

}  // namespace web
