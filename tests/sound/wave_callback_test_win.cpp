// Wave players against a stand-in wave-out device patched into this
// program's imports: each written buffer completes on a thread of its own,
// and each completion's semaphore release is held up longer than the one
// before, as Windows, whose device close does not wait for callbacks, may
// do. A release that finds no player live is a callback that outlived its
// player.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <atomic>

#include "sound/sound.h"
#include "sound/wave_player.h"
#include "tests/sound/import_patch_win.h"
#include "tests/sound/wave_image.h"

namespace {

std::atomic<int> gQueued, gInFlight, gCompleted, gLate;
DWORD_PTR gCallback, gInstance;
HANDLE gReset = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // set by waveOutReset
bool gHold;                                                   // complete only on a reset
thread_local bool tCompleting;
decltype(&ReleaseSemaphore) gRelease;

BOOL WINAPI heldRelease(HANDLE h, LONG n, LPLONG previous) {
  if (tCompleting) {
    Sleep(DWORD(20 * ++gCompleted));
    if (snd::LiveWavePlayerCount() == 0) ++gLate;
  }
  return gRelease(h, n, previous);
}

DWORD WINAPI completion(void* h) {
  tCompleting = true;
  WaitForSingleObject(gReset, gHold ? INFINITE : 5);
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
MMRESULT WINAPI fakeHeader(HWAVEOUT, LPWAVEHDR, UINT) { return MMSYSERR_NOERROR; }
MMRESULT WINAPI fakeWrite(HWAVEOUT, LPWAVEHDR h, UINT) {
  ++gInFlight, ++gQueued;
  CloseHandle(CreateThread(nullptr, 0, completion, h, 0, nullptr));
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fakeReset(HWAVEOUT) { return SetEvent(gReset) ? MMSYSERR_NOERROR : MMSYSERR_ERROR; }
MMRESULT WINAPI fakeQuiet(HWAVEOUT) { return MMSYSERR_NOERROR; }

bool install() {
  const std::pair<const char*, void*> fakes[] = {
      {"waveOutGetNumDevs", reinterpret_cast<void*>(fakeCount)},
      {"waveOutOpen", reinterpret_cast<void*>(fakeOpen)},
      {"waveOutPrepareHeader", reinterpret_cast<void*>(fakeHeader)},
      {"waveOutUnprepareHeader", reinterpret_cast<void*>(fakeHeader)},
      {"waveOutWrite", reinterpret_cast<void*>(fakeWrite)},
      {"waveOutReset", reinterpret_cast<void*>(fakeReset)},
      {"waveOutPause", reinterpret_cast<void*>(fakeQuiet)},
      {"waveOutClose", reinterpret_cast<void*>(fakeQuiet)},
  };
  for (const auto& [name, fn] : fakes)
    if (!sndtest::patchImport("winmm.dll", name, fn)) return false;
  gRelease = reinterpret_cast<decltype(gRelease)>(
      sndtest::patchImport("kernel32.dll", "ReleaseSemaphore", reinterpret_cast<void*>(heldRelease)));
  return gRelease != nullptr;
}

template <class Done> bool waitFor(Done done) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(5))
    if (done()) return true;
  return false;
}

}  // namespace

TEST(WaveCallback, NoCallbackOutlivesItsPlayer) {
  ASSERT_TRUE(install());
  using namespace sndtest;
  Bytes image = riffWave({{"fmt ", pcmFormat()}, {"data", countingSamples(20000)}});  // 6 buffers
  for (bool stop : {false, true}) {
    SCOPED_TRACE(stop ? "stopped with its buffers queued" : "played to its end");
    gQueued = gCompleted = gLate = 0;
    gHold = stop;
    ResetEvent(gReset);
    ASSERT_EQ(snd::PlaySoundData(image.data(), uint32_t(image.size()), 0), 1);
    ASSERT_TRUE(waitFor([] { return gQueued == 6; }));
    if (stop) snd::StopWavePlayers(true);
    EXPECT_TRUE(waitFor([] { return gInFlight == 0 && snd::LiveWavePlayerCount() == 0; }));
    EXPECT_EQ(gCompleted, 6);
    EXPECT_EQ(gLate, 0) << "callbacks still running after their player ended";
  }
}
