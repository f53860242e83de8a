#include "sound/midi_player.h"
#include "sound/riff.h"
#include "sound/sound.h"
#include "sound/wave_player.h"

namespace snd {

int32_t PlaySoundData(const uint8_t* data, uint32_t size, int32_t loop) {
  if (!data || size == 0) return 0;
  switch (classifySound(data, size)) {
    case SoundKind::kWave: return StartWavePlayer(data, size, loop) ? 1 : 0;
    case SoundKind::kMidi:
      PlayMidi(data, size, loop);
      return 1;  // even when the data cannot be opened
    case SoundKind::kNone: break;
  }
  return 0;
}

const rt::SoundCalls kSoundCalls = {
    .play = PlaySoundData,
    .stop = [](bool wait) {
      StopMidi();
      StopWavePlayers(wait);
    },
};

}  // namespace snd
