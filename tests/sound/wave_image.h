// Builds small RIFF and MIDI images for the sound tests.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sndtest {

using Bytes = std::vector<uint8_t>;

inline void put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
inline void put16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void putBe32(Bytes& b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
}
inline void putTag(Bytes& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

inline void putChunk(Bytes& b, const char* tag, const Bytes& contents) {
  putTag(b, tag);
  put32(b, uint32_t(contents.size()));
  b.insert(b.end(), contents.begin(), contents.end());
}

// 44100 Hz, 16-bit stereo PCM format contents.
inline Bytes pcmFormat() {
  Bytes f;
  put16(f, 1);
  put16(f, 2);
  put32(f, 44100);
  put32(f, 176400);
  put16(f, 4);
  put16(f, 16);
  return f;
}

// Samples whose every 4-byte frame holds its own index, so the order of
// what reaches a device can be checked.
inline Bytes countingSamples(uint32_t frames, uint32_t first = 0) {
  Bytes s;
  for (uint32_t i = 0; i < frames; ++i) put32(s, first + i);
  return s;
}

// RIFF WAVE image from chunks in the given order; the RIFF size is right.
inline Bytes riffWave(const std::vector<std::pair<const char*, Bytes>>& chunks) {
  Bytes b = {'R', 'I', 'F', 'F'};
  put32(b, 0);
  putTag(b, "WAVE");
  for (auto& [tag, contents] : chunks) putChunk(b, tag, contents);
  uint32_t riff = uint32_t(b.size() - 8);
  for (int i = 0; i < 4; ++i) b[4 + i] = uint8_t(riff >> (8 * i));
  return b;
}

inline void putBe16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v >> 8));
  b.push_back(uint8_t(v));
}

// A standard MIDI file: "MThd" (length 6) and one "MTrk" per track, each
// track's contents given as raw event bytes (end-of-track included).
inline Bytes midiFile(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
  Bytes b = {'M', 'T', 'h', 'd'};
  putBe32(b, 6);
  putBe16(b, format);
  putBe16(b, uint16_t(tracks.size()));
  putBe16(b, division);
  for (const Bytes& t : tracks) {
    putTag(b, "MTrk");
    putBe32(b, uint32_t(t.size()));
    b.insert(b.end(), t.begin(), t.end());
  }
  return b;
}

// A whole file; empty when it cannot be read.
inline Bytes readFile(const std::string& path) {
  Bytes b;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return b;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
  std::fclose(f);
  return b;
}

}  // namespace sndtest
