#include "sound/riff.h"

#include <cstring>

#include "runtime/byte_io.h"

namespace snd {
namespace {

uint32_t be32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

uint16_t be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

bool tagIs(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

// Bytes of a chunk's contents that are really there.
uint32_t present(uint32_t contents, uint32_t claimed, uint32_t size) {
  if (contents >= size) return 0;
  return claimed < size - contents ? claimed : size - contents;
}

}  // namespace

SoundKind classifySound(const uint8_t* data, uint32_t size) {
  if (!data) return SoundKind::kNone;
  if (size > 11 && tagIs(data, "RIFF") && tagIs(data + 8, "WAVE")) return SoundKind::kWave;
  if (size > 4 && tagIs(data, "MThd")) return SoundKind::kMidi;
  return SoundKind::kNone;
}

bool findWaveChunks(const uint8_t* data, uint32_t size, WaveChunks* out) {
  if (!data || size < 36 || !tagIs(data, "RIFF") || !tagIs(data + 8, "WAVE")) return false;
  WaveChunks w{};
  w.riffSize = rt::loadU32(data + 4);
  bool haveFmt = false, haveData = false;
  // 64-bit so that a huge claimed size cannot wrap back into the image.
  uint64_t pos = 12;
  while (pos + 8 <= size) {
    const uint8_t* chunk = data + pos;
    uint32_t claimed = rt::loadU32(chunk + 4);
    uint32_t contents = uint32_t(pos + 8);
    if (tagIs(chunk, "fmt ")) {
      w.fmtOffset = contents;
      w.fmtSize = present(contents, claimed, size);
      haveFmt = true;
      if (haveData) break;
    } else if (tagIs(chunk, "data")) {
      w.dataOffset = contents;
      w.dataSize = present(contents, claimed, size);
      haveData = true;
      if (haveFmt) break;
    }
    pos += uint64_t(claimed) + 8;  // no pad byte after an odd size
    if (pos - 12 >= w.riffSize) break;
  }
  if (!haveFmt || !haveData || w.fmtSize < 16 || w.dataSize == 0) return false;
  *out = w;
  return true;
}

bool readMidiFile(const uint8_t* data, uint32_t size, MidiFile* out) {
  if (!data || size < 14 || !tagIs(data, "MThd") || be32(data + 4) != 6) return false;
  out->format = be16(data + 8);
  out->trackCount = be16(data + 10);
  out->division = be16(data + 12);
  if (out->trackCount == 0 || out->trackCount > kMaxMidiTracks) return false;
  uint64_t pos = 14;
  uint16_t found = 0;
  while (found < out->trackCount && pos + 8 <= size) {
    uint32_t claimed = be32(data + pos + 4);
    uint64_t contents = pos + 8;
    if (contents + claimed > size) return false;
    if (tagIs(data + pos, "MTrk")) out->tracks[found++] = {uint32_t(contents), claimed};
    pos = contents + claimed;
  }
  return found == out->trackCount;
}

}  // namespace snd
