// Screenshot bytes through the PNG decoder: whatever comes, no write lands
// outside the rows the size allows, and a taken picture decodes the same
// into a buffer with padded rows.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view png(reinterpret_cast<const char*>(data), size);
  uint32_t w = 0, h = 0;
  if (!engine::pngSize(png, w, h)) return 0;
  if (uint64_t(w) * h > (1u << 20)) return 0;  // the fuzzer's memory, not the decoder's limit
  std::vector<uint8_t> tight(size_t(w) * h * 4), padded(size_t(w + 1) * h * 4, 0x5A);
  bool a = engine::decodePng(png, tight.data(), size_t(w) * 4);
  bool b = engine::decodePng(png, padded.data(), size_t(w + 1) * 4);
  if (a != b) std::abort();
  for (uint32_t y = 0; a && y < h; ++y) {
    if (std::memcmp(&tight[size_t(y) * w * 4], &padded[size_t(y) * (w + 1) * 4], size_t(w) * 4) != 0) std::abort();
    for (int k = 0; k < 4; ++k)
      if (padded[size_t(y) * (w + 1) * 4 + size_t(w) * 4 + k] != 0x5A) std::abort();
  }
  return 0;
}
