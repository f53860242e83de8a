// The window's background music: WAV data goes to the wave players, MIDI
// data to the MIDI player, while the window exists.
#include "components/window_object_win.h"
#include "sound/riff.h"
#include "sound/sound.h"

namespace comp {
namespace {

// Music that startMusic hands to a player: data present, mode 0 or 1.
bool musicPlays(const WindowProps& p) { return !p.music.empty() && p.musicMode != 2; }

}  // namespace

void startMusic(WindowObject* w) {
  const Bytes& m = w->props.music;
  if (!musicPlays(w->props) || !runtimeNotify()) return;
  rt::PlaySoundRequest req = {reinterpret_cast<const uint8_t*>(m.data()),
                              static_cast<uint32_t>(m.size()), w->props.musicMode == 0 ? 1 : 0};
  runtimeNotify()(rt::kNotifyPlaySound, reinterpret_cast<uint32_t>(&req), 0);
}

// Stops only the player the music went to. WAV players are not told apart,
// so stopping WAV music stops every WAV sound.
void stopMusic(WindowObject* w) {
  if (!musicPlays(w->props)) return;
  const Bytes& m = w->props.music;
  switch (snd::classifySound(reinterpret_cast<const uint8_t*>(m.data()), static_cast<uint32_t>(m.size()))) {
    case snd::SoundKind::kWave: snd::StopWavePlayers(false); break;
    case snd::SoundKind::kMidi: snd::StopMidi(); break;
    case snd::SoundKind::kNone: break;
  }
}

}  // namespace comp
