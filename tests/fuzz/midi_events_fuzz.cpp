// The MIDI event stream over arbitrary files. Each accepted file's stream
// must be the stable merge by tick of its tracks' own streams, with
// well-formed stream words, and a refused file must leave the output alone.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/midi_events.h"
#include "sound/riff.h"

namespace {

struct Timed {
  uint64_t tick;
  uint32_t event;
};

// One track on its own: the stream builder with a file naming only it.
bool trackStream(const uint8_t* data, const snd::MidiFile& file, uint16_t i,
                 std::vector<Timed>* out) {
  snd::MidiFile one = file;
  one.trackCount = 1;
  one.tracks[0] = file.tracks[i];
  std::vector<uint32_t> words;
  if (!snd::buildMidiStream(data, one, &words)) return false;
  uint64_t tick = 0;
  for (size_t w = 0; w < words.size(); w += 3) {
    tick += words[w];
    out->push_back({tick, words[w + 2]});
  }
  return true;
}

void checkWords(const std::vector<uint32_t>& words, size_t from, uint32_t trackBytes) {
  if ((words.size() - from) % 3) std::abort();
  // The smallest event is a one-byte delta and one data byte.
  if ((words.size() - from) / 3 > trackBytes / 2) std::abort();
  for (size_t w = from; w < words.size(); w += 3) {
    uint32_t type = words[w + 2] >> 24;
    if (words[w + 1] != 0) std::abort();
    if (type == snd::kMidiEventShortMsg) {
      uint8_t status = uint8_t(words[w + 2]);
      if (status < 0x80 || status >= 0xf0) std::abort();
    } else if (type != snd::kMidiEventTempo) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> copy(data, data + size);  // exact bounds for ASan
  snd::MidiFile file;
  if (!snd::readMidiFile(copy.data(), uint32_t(size), &file)) return 0;
  uint32_t trackBytes = 0;
  for (uint16_t i = 0; i < file.trackCount; ++i) trackBytes += file.tracks[i].size;

  const std::vector<uint32_t> before = {7, 8, 9};
  std::vector<uint32_t> words = before;
  bool ok = snd::buildMidiStream(copy.data(), file, &words);

  std::vector<std::vector<Timed>> tracks(file.trackCount);
  bool allOk = true;
  for (uint16_t i = 0; i < file.trackCount; ++i)
    allOk = trackStream(copy.data(), file, i, &tracks[i]) && allOk;
  if (ok != allOk) std::abort();
  if (!ok) {
    if (words != before) std::abort();
    return 0;
  }
  if (!std::equal(before.begin(), before.end(), words.begin())) std::abort();
  checkWords(words, before.size(), trackBytes);

  // Expected: all events, stably sorted by tick (track order breaks ties).
  std::vector<Timed> expected;
  for (const auto& t : tracks) expected.insert(expected.end(), t.begin(), t.end());
  std::stable_sort(expected.begin(), expected.end(),
                   [](const Timed& a, const Timed& b) { return a.tick < b.tick; });
  if ((words.size() - before.size()) / 3 != expected.size()) std::abort();
  uint64_t tick = 0;
  for (size_t k = 0; k < expected.size(); ++k) {
    size_t w = before.size() + 3 * k;
    tick += words[w];
    if (tick != expected[k].tick || words[w + 2] != expected[k].event) std::abort();
  }
  return 0;
}
