#include "sound/midi_events.h"

#include <cstddef>

namespace snd {
namespace {

struct TrackEvent {
  uint64_t tick;
  uint32_t event;  // (type << 24) | parameters
};

struct TrackReader {
  const uint8_t* p;
  const uint8_t* end;

  bool varLen(uint32_t* v) {
    *v = 0;
    for (int i = 0; i < 4; ++i) {
      if (p >= end) return false;
      uint8_t b = *p++;
      *v = (*v << 7) | (b & 0x7f);
      if (!(b & 0x80)) return true;
    }
    return false;
  }
};

int dataBytes(uint8_t status) {
  uint8_t kind = status & 0xf0;
  return kind == 0xc0 || kind == 0xd0 ? 1 : 2;
}

// One track's events in order; the end-of-track meta event or the end of
// the chunk finishes it.
bool readTrack(const uint8_t* begin, uint32_t size, std::vector<TrackEvent>* events) {
  TrackReader r{begin, begin + size};
  uint64_t tick = 0;
  uint8_t running = 0;
  while (r.p < r.end) {
    uint32_t delta;
    if (!r.varLen(&delta) || r.p >= r.end) return false;
    tick += delta;
    uint8_t status = *r.p;
    if (status == 0xff) {  // meta event
      if (r.end - r.p < 2) return false;
      uint8_t type = r.p[1];
      r.p += 2;
      uint32_t len;
      if (!r.varLen(&len) || uint32_t(r.end - r.p) < len) return false;
      if (type == 0x2f) return true;
      if (type == 0x51 && len == 3)
        events->push_back({tick, (kMidiEventTempo << 24) | (r.p[0] << 16) | (r.p[1] << 8) | r.p[2]});
      r.p += len;
      continue;
    }
    if (status == 0xf0 || status == 0xf7) {  // system exclusive: skipped
      ++r.p;
      uint32_t len;
      if (!r.varLen(&len) || uint32_t(r.end - r.p) < len) return false;
      r.p += len;
      running = 0;
      continue;
    }
    if (status & 0x80) {
      if (status >= 0xf0) return false;  // no other system messages in files
      running = status;
      ++r.p;
    } else if (!running) {
      return false;
    }
    int n = dataBytes(running);
    if (r.end - r.p < n) return false;
    uint32_t msg = running | (r.p[0] << 8) | (n == 2 ? r.p[1] << 16 : 0);
    r.p += n;
    events->push_back({tick, (kMidiEventShortMsg << 24) | msg});
  }
  return true;
}

}  // namespace

bool buildMidiStream(const uint8_t* data, const MidiFile& file, std::vector<uint32_t>* out) {
  std::vector<std::vector<TrackEvent>> tracks(file.trackCount);
  for (uint16_t i = 0; i < file.trackCount; ++i)
    if (!readTrack(data + file.tracks[i].offset, file.tracks[i].size, &tracks[i])) return false;
  // Merge by tick; on equal ticks the earlier track goes first.
  std::vector<std::size_t> next(tracks.size(), 0);
  uint64_t now = 0;
  for (;;) {
    std::size_t best = tracks.size();
    for (std::size_t t = 0; t < tracks.size(); ++t)
      if (next[t] < tracks[t].size() &&
          (best == tracks.size() || tracks[t][next[t]].tick < tracks[best][next[best]].tick))
        best = t;
    if (best == tracks.size()) return true;
    const TrackEvent& e = tracks[best][next[best]++];
    uint64_t delta = e.tick - now;
    now = e.tick;
    out->push_back(delta > 0xffffffffu ? 0xffffffffu : uint32_t(delta));
    out->push_back(0);
    out->push_back(e.event);
  }
}

}  // namespace snd
