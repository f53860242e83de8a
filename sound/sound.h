// Sound playback from memory: WAV through wave output (one feeder thread per
// sound), MIDI through the MIDI stream interface (one at a time).
#pragma once
#include <cstdint>

#include "runtime/sound_calls.h"

namespace snd {

// Starts playing a RIFF WAVE or MIDI image; the data is copied, so the
// caller may free it at once. Returns 1 if playback started, else 0.
int32_t PlaySoundData(const uint8_t* data, uint32_t size, int32_t loop);

// Stops every playing sound; with wait, returns only when every wave player
// thread has ended.
void StopWavePlayers(bool wait);

// Stops the MIDI sound, if one is playing, and waits for its thread.
void StopMidi();

// The calls above, as the runtime is handed them.
extern const rt::SoundCalls kSoundCalls;

}  // namespace snd
