#include "sound/wave_player.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstring>

#include "sound/riff.h"
#include "sound/sound.h"

namespace snd {
namespace {

static_assert(sizeof(WAVEHDR) == 32, "buffer block layout assumes 32-byte headers");

struct WavePlayer {
  uint8_t* samples;       // private copy of the "data" contents
  uint32_t sampleBytes;
  HWAVEOUT device;        // null when no device could be opened
  uint8_t format[64];     // the "fmt " contents, a private copy the device reads
  uint8_t* buffers;       // 20 WAVEHDRs, then the 20 data areas
  // Buffers in the feeder's hand: semaphore counts it has taken and not
  // queued since. Only the feeder touches these fields.
  uint32_t freeCount;
  uint32_t lost;          // buffers the device refused; their counts never come
  uint32_t nextIndex;
  uint32_t position;      // next sample byte to queue
  HANDLE thread;
  DWORD threadId;
  HANDLE semaphore;       // one count per free buffer
  HANDLE stopEvent;       // manual reset
  int32_t loop;
  WavePlayer* prev;       // player list links, guarded by gListLock
  WavePlayer* next;
};

SRWLOCK gListLock = SRWLOCK_INIT;
WavePlayer* gPlayers = nullptr;
std::atomic<uint32_t> gHeapCalls{0};

void* heapAlloc(size_t n) {
  ++gHeapCalls;
  return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n);
}

void heapFree(void* p) {
  if (!p) return;
  ++gHeapCalls;
  HeapFree(GetProcessHeap(), 0, p);
}

WAVEHDR* header(WavePlayer* p, uint32_t i) {
  return reinterpret_cast<WAVEHDR*>(p->buffers) + i;
}

void unprepareAll(WavePlayer* p) {
  for (uint32_t i = 0; i < kWaveBufferCount; ++i) {
    WAVEHDR* h = header(p, i);
    if (h->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(p->device, h, sizeof(WAVEHDR));
  }
}

void addToList(WavePlayer* p) {
  AcquireSRWLockExclusive(&gListLock);
  p->prev = nullptr;
  p->next = gPlayers;
  if (gPlayers) gPlayers->prev = p;
  gPlayers = p;
  ReleaseSRWLockExclusive(&gListLock);
}

void removeFromList(WavePlayer* p) {
  AcquireSRWLockExclusive(&gListLock);
  if (p->prev) p->prev->next = p->next;
  else gPlayers = p->next;
  if (p->next) p->next->prev = p->prev;
  ReleaseSRWLockExclusive(&gListLock);
}

void destroyPlayer(WavePlayer* p) {
  if (p->device) waveOutClose(p->device);
  heapFree(p->samples);
  heapFree(p->buffers);
  if (p->thread) CloseHandle(p->thread);
  if (p->semaphore) CloseHandle(p->semaphore);
  if (p->stopEvent) CloseHandle(p->stopEvent);
  heapFree(p);
}

// The release is the callback's one and last touch of the player: once the
// feeder holds all 20 counts, no callback of its player is still running,
// on Windows too, where closing the device does not wait for them.
void CALLBACK waveDone(HWAVEOUT, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
  if (msg == WOM_DONE) ReleaseSemaphore(reinterpret_cast<WavePlayer*>(instance)->semaphore, 1, nullptr);
}

// Takes back the counts of every buffer still queued, which a reset hands
// back through the callback, perhaps later on its own thread. False when
// the device keeps one back.
bool drain(WavePlayer* p) {
  while (p->freeCount + p->lost < kWaveBufferCount) {
    if (WaitForSingleObject(p->semaphore, kWaveDrainTimeoutMs) != WAIT_OBJECT_0) return false;
    ++p->freeCount;
  }
  return true;
}

// Called with one semaphore count just taken: queues the next piece of
// samples. Returns false once the sound has ended and the thread should
// finish.
bool feed(WavePlayer* p) {
  ++p->freeCount;
  WAVEHDR* h = header(p, p->nextIndex);
  if (h->dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(p->device, h, sizeof(WAVEHDR));
  if (p->position < p->sampleBytes) {
    uint32_t n = p->sampleBytes - p->position;
    if (n > kWaveBufferBytes) n = kWaveBufferBytes;
    std::memcpy(h->lpData, p->samples + p->position, n);
    h->dwBufferLength = n;
    p->position += n;
    waveOutPrepareHeader(p->device, h, sizeof(WAVEHDR));
    if (waveOutWrite(p->device, h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) ++p->lost;
    --p->freeCount;
    p->nextIndex = (p->nextIndex + 1) % kWaveBufferCount;
    return true;
  }
  if (p->freeCount < kWaveBufferCount) return true;  // still playing
  if (!p->loop) {
    unprepareAll(p);
    return false;
  }
  // All 20 in hand: hand them to the semaphore again to play from the start.
  p->position = 0;
  p->nextIndex = 0;
  p->freeCount = 0;
  ReleaseSemaphore(p->semaphore, kWaveBufferCount, nullptr);
  return true;
}

// Opened here, not by the caller: the first open in a process loads the
// sound drivers, which would hold up the window that asked for the sound.
void openDevice(WavePlayer* p) {
  if (waveOutGetNumDevs() == 0) return;
  if (waveOutOpen(&p->device, WAVE_MAPPER, reinterpret_cast<WAVEFORMATEX*>(p->format),
                  reinterpret_cast<DWORD_PTR>(waveDone), reinterpret_cast<DWORD_PTR>(p),
                  CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
    p->device = nullptr;
}

DWORD WINAPI feederThread(void* arg) {
  WavePlayer* p = static_cast<WavePlayer*>(arg);
  openDevice(p);
  HANDLE objects[2] = {p->stopEvent, p->semaphore};
  bool settled = true;
  for (;;) {
    DWORD r = WaitForMultipleObjects(2, objects, FALSE, kWaveIdleTimeoutMs);
    if (r == WAIT_OBJECT_0 || r == WAIT_TIMEOUT) {
      if (p->device) {
        waveOutPause(p->device);
        waveOutReset(p->device);
      }
      settled = drain(p);
      unprepareAll(p);
      break;
    }
    if (r == WAIT_OBJECT_0 + 1 && !feed(p)) break;
  }
  removeFromList(p);
  // A buffer the device never gave back may still have its callback
  // coming: the player is left to it rather than freed under it.
  if (settled) destroyPlayer(p);
  return 0;
}

WavePlayer* makePlayer(const uint8_t* data, const WaveChunks& w, int32_t loop) {
  auto* p = static_cast<WavePlayer*>(heapAlloc(sizeof(WavePlayer)));
  if (!p) return nullptr;
  p->samples = static_cast<uint8_t*>(heapAlloc(w.dataSize));
  if (!p->samples) {
    heapFree(p);
    return nullptr;
  }
  std::memcpy(p->samples, data + w.dataOffset, w.dataSize);
  p->sampleBytes = w.dataSize;
  p->loop = loop;
  p->buffers = static_cast<uint8_t*>(
      heapAlloc(kWaveBufferCount * (sizeof(WAVEHDR) + kWaveBufferBytes)));
  if (p->buffers) {
    uint8_t* area = p->buffers + kWaveBufferCount * sizeof(WAVEHDR);
    for (uint32_t i = 0; i < kWaveBufferCount; ++i) {
      header(p, i)->lpData = reinterpret_cast<LPSTR>(area + i * kWaveBufferBytes);
      header(p, i)->dwBufferLength = kWaveBufferBytes;
    }
  }
  p->stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  p->semaphore = CreateSemaphoreW(nullptr, kWaveBufferCount, kWaveBufferCount, nullptr);
  return p;
}

// Sets the stop event of up to max live players and stores new handles to
// their threads: the player closes its own once it has left the list, and
// it leaves the list before its thread has ended.
uint32_t stopAndGather(HANDLE* threads, uint32_t max) {
  uint32_t n = 0;
  AcquireSRWLockExclusive(&gListLock);
  for (WavePlayer* p = gPlayers; p && n < max; p = p->next) {
    SetEvent(p->stopEvent);
    if (DuplicateHandle(GetCurrentProcess(), p->thread, GetCurrentProcess(), &threads[n],
                        SYNCHRONIZE, FALSE, 0))
      ++n;
  }
  ReleaseSRWLockExclusive(&gListLock);
  return n;
}

}  // namespace

bool StartWavePlayer(const uint8_t* data, uint32_t size, int32_t loop) {
  WaveChunks w;
  if (!findWaveChunks(data, size, &w)) return false;
  WavePlayer* p = makePlayer(data, w, loop);
  if (!p) return false;
  if (!p->buffers || !p->stopEvent || !p->semaphore) {
    // Without these the thread could neither feed nor stop.
    destroyPlayer(p);
    return false;
  }
  // A short "fmt " must not make the device read past it.
  const uint32_t n = w.fmtSize < sizeof p->format ? w.fmtSize : sizeof p->format;
  std::memcpy(p->format, data + w.fmtOffset, n);
  auto* wf = reinterpret_cast<WAVEFORMATEX*>(p->format);
  if (n < sizeof(WAVEFORMATEX)) wf->cbSize = 0;
  else if (wf->cbSize > n - sizeof(WAVEFORMATEX)) wf->cbSize = WORD(n - sizeof(WAVEFORMATEX));
  p->thread = CreateThread(nullptr, 0, feederThread, p, CREATE_SUSPENDED, &p->threadId);
  if (!p->thread) {
    destroyPlayer(p);
    return false;
  }
  addToList(p);
  ResumeThread(p->thread);
  return true;
}

void StopWavePlayers(bool wait) {
  if (!wait) {
    AcquireSRWLockExclusive(&gListLock);
    for (WavePlayer* p = gPlayers; p; p = p->next) SetEvent(p->stopEvent);
    ReleaseSRWLockExclusive(&gListLock);
    return;
  }
  // Each player is told to stop under the same lock that takes its thread
  // handle: told earlier, it could leave the list before being gathered
  // and still be running when this returns. Batches of what one wait can
  // take; a player started meanwhile is stopped and waited for as well.
  HANDLE threads[MAXIMUM_WAIT_OBJECTS];
  while (uint32_t n = stopAndGather(threads, MAXIMUM_WAIT_OBJECTS)) {
    WaitForMultipleObjects(n, threads, TRUE, INFINITE);
    for (uint32_t i = 0; i < n; ++i) CloseHandle(threads[i]);
  }
}

uint32_t LiveWavePlayerCount() {
  AcquireSRWLockShared(&gListLock);
  uint32_t n = 0;
  for (WavePlayer* p = gPlayers; p; p = p->next) ++n;
  ReleaseSRWLockShared(&gListLock);
  return n;
}

uint32_t DuplicateWavePlayerThreads(void** threads, uint32_t max) {
  AcquireSRWLockShared(&gListLock);
  uint32_t n = 0;
  for (WavePlayer* p = gPlayers; p && n < max; p = p->next)
    if (DuplicateHandle(GetCurrentProcess(), p->thread, GetCurrentProcess(), &threads[n],
                        SYNCHRONIZE, FALSE, 0))
      ++n;
  ReleaseSRWLockShared(&gListLock);
  return n;
}

uint32_t WavePlayerHeapCalls() { return gHeapCalls.load(); }

}  // namespace snd
