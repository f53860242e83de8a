#include "runtime/sound_calls.h"

namespace rt {
namespace {

const SoundCalls* gCalls = nullptr;

}  // namespace

void setSoundCalls(const SoundCalls* calls) { gCalls = calls; }

int32_t playSound(const uint8_t* data, uint32_t size, int32_t loop) {
  return gCalls ? gCalls->play(data, size, loop) : 0;
}

void stopSounds(bool wait) {
  if (gCalls) gCalls->stop(wait);
}

}  // namespace rt
