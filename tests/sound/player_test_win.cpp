// Wave players against Wine's real wave-out device. With the test's ALSA
// configuration the device is alsa's file PCM writing raw bytes to
// $PAGINET_WAVE_OUT (the file is truncated each time a device is opened).
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sound/sound.h"
#include "sound/wave_player.h"
#include "tests/sound/import_patch_win.h"
#include "tests/sound/wave_image.h"

using namespace sndtest;

namespace {

bool envSet(const char* name) { return std::getenv(name) && *std::getenv(name); }

bool haveDevice() { return waveOutGetNumDevs() > 0; }

#define REQUIRE_DEVICE()                                                        \
  do {                                                                          \
    if (!haveDevice()) {                                                        \
      if (envSet("PAGINET_EXPECT_DEVICE")) FAIL() << "no wave-out device";      \
      GTEST_SKIP() << "no wave-out device";                                     \
    }                                                                           \
  } while (0)

std::string outPath() {
  const char* p = std::getenv("PAGINET_WAVE_OUT");
  return p ? std::string("Z:") + p : std::string();
}

long fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  std::wstring w(path.begin(), path.end());
  if (!GetFileAttributesExW(w.c_str(), GetFileExInfoStandard, &a)) return -1;
  return long(a.nFileSizeLow);
}

// The device writes the file behind the player; wait until it holds want
// bytes or stops growing.
Bytes settledOutput(long want) {
  std::string path = outPath();
  long last = -2;
  for (int i = 0; i < 100; ++i) {
    long now = fileSize(path);
    if (now == want) break;
    if (now == last && i > 20) break;
    last = now;
    Sleep(50);
  }
  return readFile(path);
}

// Every player has left the list and freed what it held.
bool waitForPlayersToFinish(uint32_t heapCallsWhenDone, DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if (snd::LiveWavePlayerCount() == 0 && snd::WavePlayerHeapCalls() == heapCallsWhenDone)
      return true;
    Sleep(10);
  }
  return false;
}

Bytes voicePrompt() { return readFile(PAGINET_VOICE_PROMPT); }

// Every byte the players hand to the device, in the order written (one
// player at a time).
Bytes gQueued;
decltype(&waveOutWrite) gDeviceWrite;

MMRESULT WINAPI recordingWrite(HWAVEOUT device, LPWAVEHDR h, UINT size) {
  gQueued.insert(gQueued.end(), h->lpData, h->lpData + h->dwBufferLength);
  return gDeviceWrite(device, h, size);
}

bool recordQueued() {
  gQueued.clear();
  if (!gDeviceWrite)
    gDeviceWrite = reinterpret_cast<decltype(gDeviceWrite)>(
        patchImport("winmm.dll", "waveOutWrite", reinterpret_cast<void*>(recordingWrite)));
  return gDeviceWrite != nullptr;
}

// Offset in got of the first 4-byte frame that is neither the next frame
// of samples nor silence, or -1 if got holds all of samples, in order,
// once. Wine's ALSA driver writes a period of silence whenever its buffer
// runs dry: on a late refill under load, and after the last sample until
// the stream stops. That silence is the device's only while the player
// queued exactly the samples, which the callers check as well.
long firstFault(const Bytes& got, const Bytes& samples) {
  static const uint8_t silence[4] = {};
  size_t next = 0;
  for (size_t i = 0; i + 4 <= got.size(); i += 4) {
    if (next < samples.size() && std::memcmp(&got[i], &samples[next], 4) == 0) next += 4;
    else if (std::memcmp(&got[i], silence, 4) != 0) return long(i);
  }
  return next == samples.size() && got.size() % 4 == 0 ? -1 : long(got.size());
}

void expectPlayedOnce(const Bytes& samples) {
  EXPECT_TRUE(gQueued == samples) << gQueued.size() << " bytes queued";
  Bytes got = settledOutput(long(samples.size()));
  EXPECT_EQ(firstFault(got, samples), -1) << got.size() << " bytes reached the device";
}

// Plays image once and checks that samples reached the device.
void playOnce(Bytes image, const Bytes& samples) {
  ASSERT_TRUE(recordQueued());
  uint32_t heap = snd::WavePlayerHeapCalls();
  EXPECT_EQ(snd::PlaySoundData(image.data(), uint32_t(image.size()), 0), 1);
  // The player keeps its own copy: spoil and free the caller's.
  std::fill(image.begin(), image.end(), 0xee);
  Bytes().swap(image);
  EXPECT_TRUE(waitForPlayersToFinish(heap + 6, 8000));
  expectPlayedOnce(samples);
}

// Checks that got is rounds of countingSamples(frames), each from frame 0.
// Frame 0 is silence, and so is what the device adds between rounds or on
// an underrun, so zeros are skipped: every other frame must follow the one
// before it, or start a round after the last frame. A stop may cut the last
// round short. Returns the number of whole rounds, or -1 after a frame out
// of order.
int loopRounds(const Bytes& got, uint32_t frames) {
  int rounds = 0;
  int64_t last = 0;  // the last frame that was not silence
  for (size_t i = 0; i + 4 <= got.size(); i += 4) {
    uint32_t v = got[i] | (got[i + 1] << 8) | (got[i + 2] << 16) | (uint32_t(got[i + 3]) << 24);
    if (v == 0) continue;
    if (v != last + 1 && !(v == 1 && last == frames - 1)) return -1;
    if (v == frames - 1) ++rounds;
    last = v;
  }
  return rounds;
}

}  // namespace

TEST(WaveOut, DeviceCount) {
  if (envSet("PAGINET_EXPECT_DEVICE")) {
    EXPECT_EQ(waveOutGetNumDevs(), 1u);
  }
  if (envSet("PAGINET_EXPECT_NO_DEVICE")) {
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
  }
}

TEST(WaveOut, VoicePromptPlaysOnceInOrder) {
  REQUIRE_DEVICE();
  Bytes prompt = voicePrompt();
  ASSERT_EQ(prompt.size(), 198134u);
  Bytes samples(prompt.begin() + 44, prompt.begin() + 44 + 194040);
  ASSERT_TRUE(recordQueued());
  uint32_t heap = snd::WavePlayerHeapCalls();
  ASSERT_EQ(snd::PlaySoundData(prompt.data(), uint32_t(prompt.size()), 0), 1);
  EXPECT_EQ(snd::LiveWavePlayerCount(), 1u);
  // Sample copy, buffer block and the player itself, all before playing.
  EXPECT_EQ(snd::WavePlayerHeapCalls(), heap + 3);
  DWORD start = GetTickCount();
  ASSERT_TRUE(waitForPlayersToFinish(heap + 6, 8000));
  EXPECT_LT(GetTickCount() - start, 8000u) << "ended by playing, not on its time-out";
  expectPlayedOnce(samples);
}

TEST(WaveOut, DataChunkBeforeFormatPlays) {
  REQUIRE_DEVICE();
  Bytes samples = countingSamples(20000);  // 80000 bytes: 6 buffers
  playOnce(riffWave({{"data", samples}, {"LIST", Bytes(7)}, {"fmt ", pcmFormat()}}), samples);
}

TEST(WaveOut, SoundsLongerThanTheBufferPoolPlayInOrder) {
  REQUIRE_DEVICE();
  Bytes samples = countingSamples(100000);  // 400000 bytes: the ring wraps
  playOnce(riffWave({{"fmt ", pcmFormat()}, {"data", samples}}), samples);
}

TEST(WaveOut, RefusedImagesStartNoPlayer) {
  Bytes ok = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(100)}});
  Bytes riff30(ok.begin(), ok.begin() + 30);
  struct Case {
    const char* name;
    Bytes image;
  };
  const Case cases[] = {
      {"30-byte RIFF/WAVE", riff30},
      {"zero-size data", riffWave({{"fmt ", pcmFormat()}, {"data", {}}})},
      {"no format", riffWave({{"data", countingSamples(100)}})},
      {"neither WAV nor MIDI", Bytes(64, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint32_t heap = snd::WavePlayerHeapCalls();
    EXPECT_EQ(snd::PlaySoundData(c.image.data(), uint32_t(c.image.size()), 0), 0);
    EXPECT_EQ(snd::LiveWavePlayerCount(), 0u);
    EXPECT_EQ(snd::WavePlayerHeapCalls(), heap);
  }
  EXPECT_EQ(snd::PlaySoundData(nullptr, 100, 0), 0);
  EXPECT_EQ(snd::PlaySoundData(ok.data(), 0, 0), 0);
}

TEST(WaveOut, TwoRequestsPlayAtOnce) {
  REQUIRE_DEVICE();
  Bytes a = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(200000)}});
  Bytes b = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(150000, 1u << 24)}});
  uint32_t heap = snd::WavePlayerHeapCalls();
  ASSERT_EQ(snd::PlaySoundData(a.data(), uint32_t(a.size()), 0), 1);
  // Wine under qemu sometimes crashes when a second device opens while the
  // first one's stream is starting, with or without our players.
  Sleep(200);
  ASSERT_EQ(snd::PlaySoundData(b.data(), uint32_t(b.size()), 0), 1);
  // The first is still playing when the second starts: 800000 bytes take
  // over a second even on the unpaced file device.
  EXPECT_EQ(snd::LiveWavePlayerCount(), 2u);
  DWORD start = GetTickCount();
  ASSERT_TRUE(waitForPlayersToFinish(heap + 12, 15000));
  EXPECT_LT(GetTickCount() - start, 8000u) << "both ended by playing, not on a time-out";
}

TEST(WaveOut, LoopingSoundRestartsFromItsFirstSample) {
  REQUIRE_DEVICE();
  Bytes samples = countingSamples(9000);  // 36000 bytes: 3 buffers a round
  Bytes image = riffWave({{"fmt ", pcmFormat()}, {"data", samples}});
  uint32_t heap = snd::WavePlayerHeapCalls();
  // The device opens on the player's thread: until then the file holds
  // the last test's sound.
  std::string path = outPath();
  DeleteFileA(path.c_str());
  ASSERT_EQ(snd::PlaySoundData(image.data(), uint32_t(image.size()), 1), 1);
  Bytes().swap(image);
  uint32_t afterStart = snd::WavePlayerHeapCalls();
  EXPECT_EQ(afterStart, heap + 3);
  for (int i = 0; i < 200 && fileSize(path) < long(4 * samples.size()); ++i) Sleep(25);
  EXPECT_EQ(snd::LiveWavePlayerCount(), 1u) << "a looping sound plays until stopped";
  EXPECT_EQ(snd::WavePlayerHeapCalls(), afterStart) << "no heap calls while playing";
  snd::StopWavePlayers(true);
  EXPECT_EQ(snd::LiveWavePlayerCount(), 0u);
  EXPECT_EQ(snd::WavePlayerHeapCalls(), heap + 6);
  Bytes got = settledOutput(-1);
  EXPECT_GE(loopRounds(got, 9000), 3) << got.size() << " bytes";
}

TEST(WaveOut, StopWithWaitReturnsAfterEveryThreadEnded) {
  REQUIRE_DEVICE();
  Bytes image = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(5000)}});
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(snd::PlaySoundData(image.data(), uint32_t(image.size()), 1), 1);
    Sleep(200);  // see TwoRequestsPlayAtOnce
  }
  void* threads[8];
  uint32_t n = snd::DuplicateWavePlayerThreads(threads, 8);
  ASSERT_EQ(n, 3u);
  Sleep(200);
  for (uint32_t i = 0; i < n; ++i)
    EXPECT_EQ(WaitForSingleObject(threads[i], 0), DWORD(WAIT_TIMEOUT)) << "still looping";
  snd::StopWavePlayers(true);
  for (uint32_t i = 0; i < n; ++i) {
    EXPECT_EQ(WaitForSingleObject(threads[i], 0), WAIT_OBJECT_0) << "thread " << i;
    CloseHandle(threads[i]);
  }
  EXPECT_EQ(snd::LiveWavePlayerCount(), 0u);
}

TEST(WaveOut, StopWithoutWaitStopsSoon) {
  REQUIRE_DEVICE();
  Bytes image = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(5000)}});
  uint32_t heap = snd::WavePlayerHeapCalls();
  ASSERT_EQ(snd::PlaySoundData(image.data(), uint32_t(image.size()), 1), 1);
  snd::StopWavePlayers(false);
  EXPECT_TRUE(waitForPlayersToFinish(heap + 6, 3000));
}

TEST(WaveOut, WithoutADeviceThePlayerEndsOnItsTimeOut) {
  if (haveDevice()) GTEST_SKIP() << "needs a prefix without a wave-out device";
  Bytes prompt = voicePrompt();
  ASSERT_EQ(prompt.size(), 198134u);
  DWORD handlesBefore = 0, handlesAfter = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
  uint32_t heap = snd::WavePlayerHeapCalls();
  DWORD start = GetTickCount();
  ASSERT_EQ(snd::PlaySoundData(prompt.data(), uint32_t(prompt.size()), 0), 1);
  Sleep(4000);
  EXPECT_EQ(snd::LiveWavePlayerCount(), 1u) << "waits for buffers that never complete";
  ASSERT_TRUE(waitForPlayersToFinish(heap + 6, 20000));
  DWORD took = GetTickCount() - start;
  EXPECT_GE(took, snd::kWaveIdleTimeoutMs - 100);
  EXPECT_LT(took, snd::kWaveIdleTimeoutMs + 5000);
  Sleep(100);
  GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
  EXPECT_EQ(handlesAfter, handlesBefore) << "thread, semaphore and event handles closed";
}
