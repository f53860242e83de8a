#include "sound/riff.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/sound/wave_image.h"

using namespace sndtest;
using snd::SoundKind;
using snd::WaveChunks;

namespace {

// A heap copy of exactly n bytes, so AddressSanitizer sees any read past it.
std::unique_ptr<uint8_t[]> exactCopy(const Bytes& b, size_t n) {
  auto p = std::make_unique<uint8_t[]>(n ? n : 1);
  std::copy(b.begin(), b.begin() + n, p.get());
  return p;
}

bool walk(const Bytes& b, WaveChunks* w, size_t n) {
  auto copy = exactCopy(b, n);
  return snd::findWaveChunks(copy.get(), uint32_t(n), w);
}

bool walk(const Bytes& b, WaveChunks* w) { return walk(b, w, b.size()); }

}  // namespace

TEST(Classify, KindsFromTheFirstBytes) {
  struct Case {
    const char* name;
    Bytes data;
    SoundKind want;
  };
  auto bytes = [](const char* s, size_t n) { return Bytes(s, s + n); };
  const Case cases[] = {
      {"wave of 12 bytes", bytes("RIFF\0\0\0\0WAVE", 12), SoundKind::kWave},
      {"wave of 11 bytes is too short", bytes("RIFF\0\0\0\0WAV", 11), SoundKind::kNone},
      {"riff of another form", bytes("RIFF\0\0\0\0AVI ", 12), SoundKind::kNone},
      {"midi of 5 bytes", bytes("MThd\0", 5), SoundKind::kMidi},
      {"midi of 4 bytes is too short", bytes("MThd", 4), SoundKind::kNone},
      {"lower case tag", bytes("riff\0\0\0\0WAVE", 12), SoundKind::kNone},
      {"mp3 frame", bytes("\xff\xfb\x90\x00\x00\x00\x00\x00\x00\x00\x00\x00", 12),
       SoundKind::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto copy = exactCopy(c.data, c.data.size());
    EXPECT_EQ(snd::classifySound(copy.get(), uint32_t(c.data.size())), c.want);
  }
  EXPECT_EQ(snd::classifySound(nullptr, 100), SoundKind::kNone);
}

TEST(WaveChunks, FindsFormatAndSamples) {
  Bytes samples = countingSamples(10);
  struct Case {
    const char* name;
    Bytes image;
    uint32_t fmtOffset, dataOffset;
  };
  const Case cases[] = {
      {"fmt then data", riffWave({{"fmt ", pcmFormat()}, {"data", samples}}), 20, 44},
      {"data before fmt", riffWave({{"data", samples}, {"fmt ", pcmFormat()}}), 20 + 48, 20},
      {"other chunk first", riffWave({{"LIST", Bytes(6)}, {"fmt ", pcmFormat()}, {"data", samples}}),
       34, 58},
      // No pad byte follows an odd size: the next chunk starts right after it.
      {"odd chunk size", riffWave({{"junk", Bytes(3)}, {"fmt ", pcmFormat()}, {"data", samples}}),
       31, 55},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveChunks w{};
    ASSERT_TRUE(walk(c.image, &w));
    EXPECT_EQ(w.fmtOffset, c.fmtOffset);
    EXPECT_EQ(w.fmtSize, 16u);
    EXPECT_EQ(w.dataOffset, c.dataOffset);
    EXPECT_EQ(w.dataSize, 40u);
    EXPECT_EQ(c.image[w.dataOffset + 4], 1) << "second frame holds index 1";
  }
}

TEST(WaveChunks, Refusals) {
  Bytes ok = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(4)}});
  Bytes wrongForm = ok;
  wrongForm[8] = 'A';
  Bytes wrongRiff = ok;
  wrongRiff[0] = 'X';
  Bytes riff30 = ok;
  riff30.resize(30);
  Bytes fmt14 = pcmFormat();
  fmt14.resize(14);
  Bytes shortFmt = riffWave({{"fmt ", fmt14}, {"data", countingSamples(4)}});
  // The walk ends where the RIFF size says, even when more chunks follow.
  Bytes dataPastRiff = riffWave({{"fmt ", pcmFormat()}});
  putChunk(dataPastRiff, "data", countingSamples(4));
  dataPastRiff[4] = 24;  // the data chunk starts 24 bytes after byte 12
  struct Case {
    const char* name;
    Bytes image;
  };
  const Case cases[] = {
      {"30-byte header only", riff30},
      {"35 bytes", Bytes(ok.begin(), ok.begin() + 35)},
      {"not WAVE", wrongForm},
      {"not RIFF", wrongRiff},
      {"zero-size data", riffWave({{"fmt ", pcmFormat()}, {"data", {}}})},
      {"no data", riffWave({{"fmt ", pcmFormat()}, {"LIST", Bytes(40)}})},
      {"no fmt", riffWave({{"LIST", Bytes(16)}, {"data", countingSamples(8)}})},
      {"fmt shorter than a PCM format", shortFmt},
      {"data beyond the RIFF size", dataPastRiff},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveChunks w{};
    EXPECT_FALSE(walk(c.image, &w));
  }
  WaveChunks w{};
  EXPECT_FALSE(snd::findWaveChunks(nullptr, 100, &w));
}

TEST(WaveChunks, ClaimedSizesBeyondTheImageAreClamped) {
  Bytes image = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(10)}});
  // data claims 1 GB, RIFF claims 4 GB.
  image[40] = 0; image[41] = 0; image[42] = 0; image[43] = 0x40;
  image[4] = 0xff; image[5] = 0xff; image[6] = 0xff; image[7] = 0xff;
  WaveChunks w{};
  ASSERT_TRUE(walk(image, &w));
  EXPECT_EQ(w.dataOffset, 44u);
  EXPECT_EQ(w.dataSize, 40u);

  // A skipped chunk whose size would wrap a 32-bit offset back into the image.
  Bytes wrap = riffWave({{"LIST", Bytes(4)}, {"fmt ", pcmFormat()}, {"data", countingSamples(4)}});
  wrap[16] = 0xf8; wrap[17] = 0xff; wrap[18] = 0xff; wrap[19] = 0xff;
  wrap[4] = 0xff; wrap[5] = 0xff; wrap[6] = 0xff; wrap[7] = 0xff;
  EXPECT_FALSE(walk(wrap, &w));
}

TEST(WaveChunks, EveryTruncationStaysInsideTheImage) {
  const Bytes images[] = {
      riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(50)}, {"PAD ", Bytes(9)}}),
      riffWave({{"data", countingSamples(50)}, {"LIST", Bytes(5)}, {"fmt ", pcmFormat()}}),
  };
  for (const Bytes& image : images) {
    WaveChunks full{};
    ASSERT_TRUE(walk(image, &full));
    for (size_t n = 0; n <= image.size(); ++n) {
      SCOPED_TRACE(n);
      WaveChunks w{};
      bool found = walk(image, &w, n);
      bool fmtWhole = n >= full.fmtOffset + 16;
      bool someData = n > full.dataOffset;
      EXPECT_EQ(found, n >= 36 && fmtWhole && someData);
      if (found) {
        EXPECT_EQ(w.dataOffset, full.dataOffset);
        EXPECT_EQ(w.dataSize, std::min<size_t>(full.dataSize, n - full.dataOffset));
        EXPECT_LE(w.fmtOffset + w.fmtSize, n);
      }
    }
  }
}

namespace {

Bytes midiFile(uint16_t tracks, uint32_t headerLength = 6) {
  Bytes b;
  putTag(b, "MThd");
  putBe32(b, headerLength);
  b.insert(b.end(), {0, 1, uint8_t(tracks >> 8), uint8_t(tracks), 0x01, 0xe0});
  return b;
}

void addTrack(Bytes& b, const char* tag, const Bytes& events) {
  putTag(b, tag);
  putBe32(b, uint32_t(events.size()));
  b.insert(b.end(), events.begin(), events.end());
}

const Bytes kEndOfTrack = {0x00, 0xff, 0x2f, 0x00};

}  // namespace

TEST(MidiFile, ReadsTheNamedTracks) {
  Bytes b = midiFile(2);
  addTrack(b, "MTrk", kEndOfTrack);
  addTrack(b, "XFIH", Bytes(3));  // unknown chunks are skipped
  addTrack(b, "MTrk", {0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xff, 0x2f, 0x00});
  snd::MidiFile m{};
  auto copy = exactCopy(b, b.size());
  ASSERT_TRUE(snd::readMidiFile(copy.get(), uint32_t(b.size()), &m));
  EXPECT_EQ(m.format, 1);
  EXPECT_EQ(m.division, 480);
  ASSERT_EQ(m.trackCount, 2);
  EXPECT_EQ(m.tracks[0].offset, 22u);
  EXPECT_EQ(m.tracks[0].size, 4u);
  EXPECT_EQ(m.tracks[1].offset, 22u + 4 + 11 + 8);
  EXPECT_EQ(m.tracks[1].size, 12u);

  for (size_t n = 0; n < b.size(); ++n) {
    SCOPED_TRACE(n);
    auto cut = exactCopy(b, n);
    EXPECT_FALSE(snd::readMidiFile(cut.get(), uint32_t(n), &m));
  }
}

TEST(MidiFile, BadHeaders) {
  Bytes longHeader = midiFile(1, 8);
  longHeader.insert(longHeader.end(), {0, 0});
  addTrack(longHeader, "MTrk", kEndOfTrack);
  Bytes noTracks = midiFile(0);
  Bytes missingTrack = midiFile(2);
  addTrack(missingTrack, "MTrk", kEndOfTrack);
  Bytes overlong = midiFile(1);
  addTrack(overlong, "MTrk", kEndOfTrack);
  overlong[21] = 5;  // claims one byte more than is there
  struct Case {
    const char* name;
    Bytes image;
  };
  const Case cases[] = {
      {"header length 8", longHeader},
      {"no tracks", noTracks},
      {"fewer tracks than named", missingTrack},
      {"track longer than the file", overlong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    snd::MidiFile m{};
    auto copy = exactCopy(c.image, c.image.size());
    EXPECT_FALSE(snd::readMidiFile(copy.get(), uint32_t(c.image.size()), &m));
  }
}
