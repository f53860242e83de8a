#include "tests/sound/midi_stream_fake_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <deque>
#include <mutex>
#include <set>

#include "tests/sound/import_patch_win.h"

namespace midifake {
namespace {

struct Queued {
  HMIDISTRM stream;
  MIDIHDR* header;
};

struct State {
  std::mutex lock;
  Device device = Device::kPlays;
  std::vector<std::string> calls;
  std::vector<std::vector<uint32_t>> buffers;
  std::set<HMIDISTRM> open;
  std::set<MIDIHDR*> prepared;
  std::deque<Queued> queue;
  HANDLE callbackEvent = nullptr;
  bool playing = false;
  uintptr_t nextHandle = 0x5000;
};

State gState;

std::string checked(const char* call, const void* handle) {
  bool known = gState.open.count(static_cast<HMIDISTRM>(const_cast<void*>(handle))) != 0;
  return std::string(call) + (known ? "" : " (wrong handle)");
}

MMRESULT record(std::string call, MMRESULT result) {
  if (result != MMSYSERR_NOERROR) call += " -> " + std::to_string(result);
  gState.calls.push_back(call);
  return result;
}

void signal() {
  if (gState.callbackEvent) SetEvent(gState.callbackEvent);
}

// Marks the header done as the system does, and tells the stream's client.
void complete(MIDIHDR* h) {
  h->dwFlags = (h->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
  signal();
}

void completeAll(HMIDISTRM s) {
  for (auto it = gState.queue.begin(); it != gState.queue.end();) {
    if (it->stream == s) {
      complete(it->header);
      it = gState.queue.erase(it);
    } else {
      ++it;
    }
  }
}

DWORD WINAPI deviceThread(void*) {
  for (;;) {
    Sleep(1);
    std::lock_guard<std::mutex> g(gState.lock);
    if (gState.device != Device::kPlays || !gState.playing || gState.queue.empty()) continue;
    complete(gState.queue.front().header);
    gState.queue.pop_front();
  }
}

MMRESULT WINAPI fakeOpen(LPHMIDISTRM phms, LPUINT device, DWORD, DWORD_PTR callback, DWORD_PTR,
                         DWORD flags) {
  std::lock_guard<std::mutex> g(gState.lock);
  std::string call = "open " + std::to_string(int(*device)) + " " + std::to_string(flags);
  if (gState.device == Device::kNoDevice) {
    *phms = reinterpret_cast<HMIDISTRM>(uintptr_t(0x8000));
    return record(call, MIDIERR_INVALIDSETUP);
  }
  *phms = reinterpret_cast<HMIDISTRM>(gState.nextHandle++);
  gState.open.insert(*phms);
  gState.playing = false;   // streams open paused
  gState.callbackEvent = (flags & CALLBACK_TYPEMASK) == CALLBACK_EVENT ? HANDLE(callback) : nullptr;
  signal();                 // MOM_OPEN
  return record(call, MMSYSERR_NOERROR);
}

MMRESULT WINAPI fakeClose(HMIDISTRM s) {
  std::lock_guard<std::mutex> g(gState.lock);
  std::string call = checked("close", s);
  for (const Queued& q : gState.queue)
    if (q.stream == s) return record(call, MIDIERR_STILLPLAYING);
  gState.open.erase(s);
  gState.playing = false;
  signal();                 // MOM_CLOSE
  gState.callbackEvent = nullptr;
  return record(call, MMSYSERR_NOERROR);
}

MMRESULT WINAPI fakeProperty(HMIDISTRM s, LPBYTE data, DWORD property) {
  std::lock_guard<std::mutex> g(gState.lock);
  if (property == (MIDIPROP_SET | MIDIPROP_TIMEDIV)) {
    const auto* div = reinterpret_cast<const MIDIPROPTIMEDIV*>(data);
    return record(checked(("timediv " + std::to_string(div->dwTimeDiv)).c_str(), s), MMSYSERR_NOERROR);
  }
  return record(checked(("property " + std::to_string(property)).c_str(), s), MMSYSERR_NOERROR);
}

MMRESULT WINAPI fakeOut(HMIDISTRM s, LPMIDIHDR h, UINT size) {
  std::lock_guard<std::mutex> g(gState.lock);
  std::string call = checked("out", s);
  if (size != sizeof(MIDIHDR) || h->dwBytesRecorded % 12 || h->dwBytesRecorded > h->dwBufferLength)
    return record(call, MMSYSERR_INVALPARAM);
  if (!gState.prepared.count(h)) return record(call, MIDIERR_UNPREPARED);
  const auto* words = reinterpret_cast<const uint32_t*>(h->lpData);
  gState.buffers.emplace_back(words, words + h->dwBytesRecorded / 4);
  h->dwFlags = (h->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
  gState.queue.push_back({s, h});
  return record(call, MMSYSERR_NOERROR);
}

MMRESULT WINAPI fakeRestart(HMIDISTRM s) {
  std::lock_guard<std::mutex> g(gState.lock);
  gState.playing = true;
  return record(checked("restart", s), MMSYSERR_NOERROR);
}

// Stopping and resetting return every queued buffer at once, as Wine's
// stream player and the system's documentation have it.
MMRESULT WINAPI fakeStop(HMIDISTRM s) {
  std::lock_guard<std::mutex> g(gState.lock);
  gState.playing = false;
  completeAll(s);
  return record(checked("stop", s), MMSYSERR_NOERROR);
}

MMRESULT WINAPI fakeReset(HMIDIOUT o) {
  std::lock_guard<std::mutex> g(gState.lock);
  completeAll(reinterpret_cast<HMIDISTRM>(o));
  return record(checked("reset", o), MMSYSERR_NOERROR);
}

MMRESULT WINAPI fakePrepare(HMIDIOUT o, LPMIDIHDR h, UINT size) {
  std::lock_guard<std::mutex> g(gState.lock);
  if (size != sizeof(MIDIHDR)) return record(checked("prepare", o), MMSYSERR_INVALPARAM);
  h->dwFlags |= MHDR_PREPARED;
  gState.prepared.insert(h);
  return record(checked("prepare", o), MMSYSERR_NOERROR);
}

MMRESULT WINAPI fakeUnprepare(HMIDIOUT o, LPMIDIHDR h, UINT) {
  std::lock_guard<std::mutex> g(gState.lock);
  if (h->dwFlags & MHDR_INQUEUE) return record(checked("unprepare", o), MIDIERR_STILLPLAYING);
  h->dwFlags &= ~MHDR_PREPARED;
  gState.prepared.erase(h);
  return record(checked("unprepare", o), MMSYSERR_NOERROR);
}

struct Patch {
  const char* name;
  void* fn;
};

const Patch kPatches[] = {
    {"midiStreamOpen", reinterpret_cast<void*>(fakeOpen)},
    {"midiStreamClose", reinterpret_cast<void*>(fakeClose)},
    {"midiStreamProperty", reinterpret_cast<void*>(fakeProperty)},
    {"midiStreamOut", reinterpret_cast<void*>(fakeOut)},
    {"midiStreamRestart", reinterpret_cast<void*>(fakeRestart)},
    {"midiStreamStop", reinterpret_cast<void*>(fakeStop)},
    {"midiOutReset", reinterpret_cast<void*>(fakeReset)},
    {"midiOutPrepareHeader", reinterpret_cast<void*>(fakePrepare)},
    {"midiOutUnprepareHeader", reinterpret_cast<void*>(fakeUnprepare)},
};

}  // namespace

bool install() {
  static bool done = [] {
    // A function the player no longer calls is not imported; the calls
    // recorded show that, so only the opening is required.
    bool opens = false;
    for (const Patch& p : kPatches)
      opens = (sndtest::patchImport("winmm.dll", p.name, p.fn) && p.fn == kPatches[0].fn) || opens;
    if (!opens) return false;
    CloseHandle(CreateThread(nullptr, 0, deviceThread, nullptr, 0, nullptr));
    return true;
  }();
  return done;
}

void reset(Device device) {
  std::lock_guard<std::mutex> g(gState.lock);
  gState.device = device;
  gState.calls.clear();
  gState.buffers.clear();
}

std::vector<std::string> calls() {
  std::lock_guard<std::mutex> g(gState.lock);
  return gState.calls;
}

std::vector<std::vector<uint32_t>> buffers() {
  std::lock_guard<std::mutex> g(gState.lock);
  return gState.buffers;
}

int count(const std::string& prefix) {
  std::lock_guard<std::mutex> g(gState.lock);
  int n = 0;
  for (const std::string& c : gState.calls) n += c.compare(0, prefix.size(), prefix) == 0;
  return n;
}

int openStreams() {
  std::lock_guard<std::mutex> g(gState.lock);
  return int(gState.open.size());
}

int preparedHeaders() {
  std::lock_guard<std::mutex> g(gState.lock);
  return int(gState.prepared.size());
}

}  // namespace midifake
