// Turns a standard MIDI file's tracks into one time-ordered stream of
// MIDI stream events: three words each (delta ticks, stream id 0, event),
// the layout the system's MIDI stream interface takes as MIDIEVENT.
#pragma once
#include <cstdint>
#include <vector>

#include "sound/riff.h"

namespace snd {

constexpr uint32_t kMidiEventShortMsg = 0x00;  // MEVT_SHORTMSG
constexpr uint32_t kMidiEventTempo = 0x01;     // MEVT_TEMPO

// Appends the events to out. Meta events other than tempo and system
// exclusive messages are left out. False when a track is malformed (a
// message cut short, data without a status); out is then unchanged.
bool buildMidiStream(const uint8_t* data, const MidiFile& file, std::vector<uint32_t>* out);

}  // namespace snd
