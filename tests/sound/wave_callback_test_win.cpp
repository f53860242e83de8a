// Wave players against a stand-in wave-out device patched into this
// program's imports. Each written buffer completes on a thread of its own,
// and each completion's semaphore release is held up longer than the one
// before, as on Windows, where closing the device does not wait for its
// callbacks. A release that finds its player gone from the list is a
// callback that outlived its player: its memory was freed under it.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <atomic>

#include "sound/sound.h"
#include "sound/wave_player.h"
#include "tests/sound/import_patch_win.h"
#include "tests/sound/wave_image.h"

using namespace sndtest;

namespace {

std::atomic<int> gQueued{0}, gInFlight{0}, gCompleted{0}, gLate{0};
DWORD_PTR gCallback, gInstance;
HANDLE gReset;             // manual reset: set by waveOutReset
bool gHold;                // buffers complete only on a reset
thread_local bool tCompleting;
BOOL(WINAPI* gRelease)(HANDLE, LONG, LPLONG);

BOOL WINAPI heldRelease(HANDLE h, LONG n, LPLONG previous) {
  if (tCompleting) {
    Sleep(DWORD(20 * ++gCompleted));
    if (snd::LiveWavePlayerCount() == 0) ++gLate;
  }
  return gRelease(h, n, previous);
}

DWORD WINAPI completion(void* arg) {
  tCompleting = true;
  WaitForSingleObject(gReset, gHold ? INFINITE : 5);
  auto* h = static_cast<WAVEHDR*>(arg);
  h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  using Callback = void(CALLBACK*)(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);
  reinterpret_cast<Callback>(gCallback)(HWAVEOUT(1), WOM_DONE, gInstance, DWORD_PTR(h), 0);
  --gInFlight;
  return 0;
}

UINT WINAPI fakeCount() { return 1; }
MMRESULT WINAPI fakeOpen(LPHWAVEOUT out, UINT, LPCWAVEFORMATEX, DWORD_PTR cb, DWORD_PTR inst, DWORD) {
  *out = HWAVEOUT(1);
  gCallback = cb;
  gInstance = inst;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fakePrepare(HWAVEOUT, LPWAVEHDR h, UINT) {
  h->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fakeUnprepare(HWAVEOUT, LPWAVEHDR h, UINT) {
  h->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fakeWrite(HWAVEOUT, LPWAVEHDR h, UINT) {
  h->dwFlags |= WHDR_INQUEUE;
  ++gInFlight;
  ++gQueued;
  CloseHandle(CreateThread(nullptr, 0, completion, h, 0, nullptr));
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fakeReset(HWAVEOUT) {
  SetEvent(gReset);
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fakeQuiet(HWAVEOUT) { return MMSYSERR_NOERROR; }

bool install() {
  gReset = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const struct { const char* name; void* fn; } fakes[] = {
      {"waveOutGetNumDevs", reinterpret_cast<void*>(fakeCount)},
      {"waveOutOpen", reinterpret_cast<void*>(fakeOpen)},
      {"waveOutPrepareHeader", reinterpret_cast<void*>(fakePrepare)},
      {"waveOutUnprepareHeader", reinterpret_cast<void*>(fakeUnprepare)},
      {"waveOutWrite", reinterpret_cast<void*>(fakeWrite)},
      {"waveOutReset", reinterpret_cast<void*>(fakeReset)},
      {"waveOutPause", reinterpret_cast<void*>(fakeQuiet)},
      {"waveOutClose", reinterpret_cast<void*>(fakeQuiet)},
  };
  for (const auto& f : fakes)
    if (!patchImport("winmm.dll", f.name, f.fn)) return false;
  gRelease = reinterpret_cast<decltype(gRelease)>(
      patchImport("kernel32.dll", "ReleaseSemaphore", reinterpret_cast<void*>(heldRelease)));
  return gRelease != nullptr;
}

template <class Done> bool waitFor(Done done, DWORD ms) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(5))
    if (done()) return true;
  return done();
}

}  // namespace

TEST(WaveCallback, NoCallbackOutlivesItsPlayer) {
  ASSERT_TRUE(install());
  Bytes image = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(20000)}});  // 6 buffers
  struct Case { const char* name; bool stop; } cases[] = {
      {"played to its end", false},
      {"stopped with its buffers queued", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    gQueued = gCompleted = gLate = 0;
    gHold = c.stop;
    ResetEvent(gReset);
    ASSERT_EQ(snd::PlaySoundData(image.data(), uint32_t(image.size()), 0), 1);
    ASSERT_TRUE(waitFor([] { return gQueued == 6; }, 5000));
    if (c.stop) snd::StopWavePlayers(true);
    EXPECT_TRUE(waitFor([] { return gInFlight == 0 && snd::LiveWavePlayerCount() == 0; }, 10000));
    EXPECT_EQ(gCompleted, 6);
    EXPECT_EQ(gLate, 0) << "callbacks still running after their player ended";
  }
}
