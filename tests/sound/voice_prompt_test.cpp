#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "sound/riff.h"
#include "tests/sound/wave_image.h"

namespace {

std::vector<uint8_t> readPrompt() { return sndtest::readFile(PAGINET_VOICE_PROMPT); }

uint32_t le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

}  // namespace

TEST(VoicePrompt, LayoutOfTheEmbeddedImage) {
  std::vector<uint8_t> b = readPrompt();
  ASSERT_EQ(b.size(), 198134u) << PAGINET_VOICE_PROMPT;
  struct Field {
    size_t offset;
    const char* tag;  // or null for a number
    int bytes;
    uint32_t value;
  };
  const Field fields[] = {
      {0, "RIFF", 4, 0},      {4, nullptr, 4, 198126}, {8, "WAVE", 4, 0},
      {12, "fmt ", 4, 0},     {16, nullptr, 4, 16},    {20, nullptr, 2, 1},
      {22, nullptr, 2, 2},    {24, nullptr, 4, 44100}, {28, nullptr, 4, 176400},
      {32, nullptr, 2, 4},    {34, nullptr, 2, 16},    {36, "data", 4, 0},
      {40, nullptr, 4, 194040}, {194084, "PAD ", 4, 0}, {194088, nullptr, 4, 4042},
  };
  for (const Field& f : fields) {
    SCOPED_TRACE(f.offset);
    if (f.tag)
      EXPECT_EQ(std::memcmp(&b[f.offset], f.tag, 4), 0);
    else
      EXPECT_EQ(le(b, f.offset, f.bytes), f.value);
  }
  snd::WaveChunks w{};
  ASSERT_TRUE(snd::findWaveChunks(b.data(), uint32_t(b.size()), &w));
  EXPECT_EQ(w.fmtOffset, 20u);
  EXPECT_EQ(w.dataOffset, 44u);
  EXPECT_EQ(w.dataSize, 194040u);
  // 12 full buffers and a last one of 9720 bytes.
  EXPECT_EQ(w.dataSize / 15360, 12u);
  EXPECT_EQ(w.dataSize % 15360, 9720u);
}

TEST(VoicePrompt, IsARecordingNotSilence) {
  std::vector<uint8_t> b = readPrompt();
  ASSERT_EQ(b.size(), 198134u);
  // Loud frames appear across the words, not just a click.
  int loud = 0, peak = 0;
  for (size_t i = 44; i + 1 < 44 + 194040; i += 2) {
    int s = int16_t(b[i] | (b[i + 1] << 8));
    if (s < 0) s = -s;
    if (s > 4000) ++loud;
    if (s > peak) peak = s;
  }
  EXPECT_GT(peak, 16000);
  EXPECT_GT(loud, 5000);
}
