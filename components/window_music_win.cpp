// The window's background music.
#include "components/window_object_win.h"
#include "sound/sound.h"

namespace comp {

void startMusic(WindowObject* w) {
  const Bytes& m = w->props.music;
  if (m.empty() || w->props.musicMode == 2 || !runtimeNotify()) return;
  rt::PlaySoundRequest req = {reinterpret_cast<const uint8_t*>(m.data()),
                              static_cast<uint32_t>(m.size()), w->props.musicMode == 0 ? 1 : 0};
  runtimeNotify()(rt::kNotifyPlaySound, reinterpret_cast<uint32_t>(&req), 0);
}

void stopMusic(WindowObject* w) {
  if (!w->props.music.empty()) snd::StopWavePlayers(false);
}

}  // namespace comp
