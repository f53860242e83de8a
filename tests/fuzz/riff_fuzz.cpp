// Chunk walks over arbitrary images: any read outside the input is an
// AddressSanitizer report; found chunks must lie inside the input.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sound/riff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly size bytes, so any overread lands outside the block.
  uint8_t* copy = static_cast<uint8_t*>(std::malloc(size ? size : 1));
  std::memcpy(copy, data, size);
  uint32_t n = uint32_t(size);
  snd::classifySound(copy, n);
  snd::WaveChunks w;
  if (snd::findWaveChunks(copy, n, &w)) {
    if (uint64_t(w.dataOffset) + w.dataSize > n || uint64_t(w.fmtOffset) + w.fmtSize > n ||
        w.dataSize == 0 || w.fmtSize < 16)
      std::abort();
  }
  snd::MidiFile m;
  if (snd::readMidiFile(copy, n, &m)) {
    for (uint16_t i = 0; i < m.trackCount; ++i)
      if (uint64_t(m.tracks[i].offset) + m.tracks[i].size > n) std::abort();
  }
  std::free(copy);
  return 0;
}
