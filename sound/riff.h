// Parsing of in-memory sound images: which kind a request holds, where a WAV
// image keeps its format and samples, and a standard MIDI file's chunks.
// Nothing here reads outside [data, data + size), whatever sizes claim.
#pragma once
#include <cstdint>

namespace snd {

enum class SoundKind { kNone, kWave, kMidi };

SoundKind classifySound(const uint8_t* data, uint32_t size);

struct WaveChunks {
  uint32_t riffSize;    // bytes 4..7 as stored
  uint32_t fmtOffset;   // start of the "fmt " contents
  uint32_t fmtSize;     // contents present in the image (clamped)
  uint32_t dataOffset;  // start of the "data" contents
  uint32_t dataSize;    // sample bytes present in the image (clamped)
};

// Walks the chunks of a RIFF WAVE image. Returns false when the image is
// refused: below 36 bytes, wrong magic, no "fmt " or "data" chunk, a format
// shorter than the 16 bytes of a PCM format, or no sample bytes.
bool findWaveChunks(const uint8_t* data, uint32_t size, WaveChunks* out);

constexpr uint32_t kMaxMidiTracks = 64;

struct MidiTrack {
  uint32_t offset;  // start of the "MTrk" contents
  uint32_t size;
};

struct MidiFile {
  uint16_t format;
  uint16_t division;
  uint16_t trackCount;
  MidiTrack tracks[kMaxMidiTracks];
};

// Reads the "MThd" header (length must be 6) and then as many "MTrk"
// chunks as it names, skipping other chunks. False when the header is bad,
// a track is cut short, or tracks are missing.
bool readMidiFile(const uint8_t* data, uint32_t size, MidiFile* out);

}  // namespace snd
