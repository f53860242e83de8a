// Sound playback as the runtime reaches it. The sound layer sits above the
// runtime, so it hands its calls down (the core library does so at start);
// until then nothing plays.
#pragma once
#include <cstdint>

namespace rt {

struct SoundCalls {
  int32_t (*play)(const uint8_t* data, uint32_t size, int32_t loop);  // 1 when it started
  void (*stop)(bool wait);  // every sound; with wait, until their threads have ended
};

void setSoundCalls(const SoundCalls* calls);
int32_t playSound(const uint8_t* data, uint32_t size, int32_t loop);
void stopSounds(bool wait);

}  // namespace rt
