// The PNGs the browser sends for screenshots (8 bits per channel, RGB or
// RGBA, not interlaced) decoded straight into 32-bit BGRA rows: one pass,
// no format converter. Anything else is left to the system's decoder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace engine {

// The picture's size when it is a PNG of that kind; false otherwise.
bool pngSize(std::string_view png, uint32_t& width, uint32_t& height);

// Writes height rows of width BGRA pixels, stride bytes apart, to out; the
// alpha of an RGB picture is 255. False on a broken or cut-short picture.
bool decodePng(std::string_view png, uint8_t* out, size_t stride);

}  // namespace engine
