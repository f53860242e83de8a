// The one MIDI player: a standard MIDI file played through the system MIDI
// stream interface. Called from the window thread only.
#pragma once
#include <cstdint>

namespace snd {

// Stops the MIDI sound that is playing, then plays a private copy of this
// one, repeating it with loop. Data that cannot be opened plays nothing.
void PlayMidi(const uint8_t* data, uint32_t size, int32_t loop);

// Test hook: a MIDI player thread is running.
bool MidiPlayerRunning();

}  // namespace snd
