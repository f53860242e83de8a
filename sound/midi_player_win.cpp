#include "sound/midi_player.h"

#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "sound/midi_events.h"
#include "sound/riff.h"
#include "sound/sound.h"

namespace snd {
namespace {

// Stream buffers stay under the 64 KB a MIDIHDR may hold on older systems.
constexpr size_t kEventsPerBuffer = 65520 / 12;

struct MidiPlayer {
  std::vector<uint8_t> data;      // private copy of the file
  std::vector<uint32_t> events;   // MIDIEVENT words
  std::vector<MIDIHDR> headers;
  HMIDISTRM stream = nullptr;
  HANDLE doneEvent = nullptr;     // signalled by the stream on each buffer
  HANDLE stopEvent = nullptr;
  HANDLE thread = nullptr;
  int32_t loop = 0;
};

MidiPlayer* gMidi = nullptr;

void unprepareAll(MidiPlayer* m) {
  for (MIDIHDR& h : m->headers)
    if (h.dwFlags & MHDR_PREPARED)
      midiOutUnprepareHeader(reinterpret_cast<HMIDIOUT>(m->stream), &h, sizeof h);
}

bool allDone(const MidiPlayer* m) {
  for (const MIDIHDR& h : m->headers)
    if (!(h.dwFlags & MHDR_DONE)) return false;
  return true;
}

// Queues the whole song and waits for it; false when stopped.
bool playRound(MidiPlayer* m) {
  for (MIDIHDR& h : m->headers) {
    h.dwFlags = 0;
    midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(m->stream), &h, sizeof h);
    if (midiStreamOut(m->stream, &h, sizeof h) != MMSYSERR_NOERROR) return false;
  }
  midiStreamRestart(m->stream);
  HANDLE objects[2] = {m->stopEvent, m->doneEvent};
  while (!allDone(m))
    if (WaitForMultipleObjects(2, objects, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return false;
  unprepareAll(m);
  return true;
}

DWORD WINAPI midiThread(void* arg) {
  MidiPlayer* m = static_cast<MidiPlayer*>(arg);
  while (playRound(m) && m->loop) {
  }
  midiStreamStop(m->stream);
  midiOutReset(reinterpret_cast<HMIDIOUT>(m->stream));
  unprepareAll(m);
  midiStreamClose(m->stream);
  m->stream = nullptr;
  return 0;
}

void destroy(MidiPlayer* m) {
  if (m->thread) {
    SetEvent(m->stopEvent);
    WaitForSingleObject(m->thread, INFINITE);
    CloseHandle(m->thread);
  }
  if (m->stream) midiStreamClose(m->stream);
  if (m->doneEvent) CloseHandle(m->doneEvent);
  if (m->stopEvent) CloseHandle(m->stopEvent);
  delete m;
}

// Opens the device and starts the thread; false leaves m for destroy.
bool start(MidiPlayer* m) {
  MidiFile file;
  if (!readMidiFile(m->data.data(), uint32_t(m->data.size()), &file)) return false;
  if (!buildMidiStream(m->data.data(), file, &m->events) || m->events.empty()) return false;
  for (size_t i = 0; i < m->events.size(); i += kEventsPerBuffer * 3) {
    size_t words = m->events.size() - i < kEventsPerBuffer * 3 ? m->events.size() - i
                                                               : kEventsPerBuffer * 3;
    MIDIHDR h{};
    h.lpData = reinterpret_cast<LPSTR>(&m->events[i]);
    h.dwBufferLength = h.dwBytesRecorded = DWORD(words * 4);
    m->headers.push_back(h);
  }
  m->doneEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  m->stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!m->doneEvent || !m->stopEvent) return false;
  UINT device = MIDI_MAPPER;
  if (midiStreamOpen(&m->stream, &device, 1, reinterpret_cast<DWORD_PTR>(m->doneEvent), 0,
                     CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    m->stream = nullptr;
    return false;
  }
  // SMPTE divisions (high bit set) are passed on as the file gives them.
  MIDIPROPTIMEDIV div{sizeof div, file.division};
  midiStreamProperty(m->stream, reinterpret_cast<LPBYTE>(&div), MIDIPROP_SET | MIDIPROP_TIMEDIV);
  m->thread = CreateThread(nullptr, 0, midiThread, m, 0, nullptr);
  return m->thread != nullptr;
}

}  // namespace

void StopMidi() {
  if (!gMidi) return;
  destroy(gMidi);
  gMidi = nullptr;
}

void PlayMidi(const uint8_t* data, uint32_t size, int32_t loop) {
  StopMidi();
  auto* m = new MidiPlayer;
  m->data.assign(data, data + size);
  m->loop = loop;
  if (!start(m)) {
    destroy(m);
    return;
  }
  gMidi = m;
}

bool MidiPlayerRunning() {
  return gMidi && gMidi->thread && WaitForSingleObject(gMidi->thread, 0) == WAIT_TIMEOUT;
}

}  // namespace snd
