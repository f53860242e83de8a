// BMP file image of a snapshot: 54-byte header, then the rows bottom-up.
#pragma once
#include <cstdint>

namespace web {

constexpr uint32_t kBmpHeaderSize = 54;

// Size of the file image, or 0 when it would not fit in 32 bits.
uint32_t bmpFileSize(int32_t width, int32_t height, int32_t bitsPerPixel);

// Writes the 54 header bytes; `out` must hold kBmpHeaderSize bytes.
void writeBmpHeader(uint8_t* out, int32_t width, int32_t height, int32_t bitsPerPixel);

}  // namespace web
