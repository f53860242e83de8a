#include "engine/zoom.h"

#include <cmath>

#include "engine/keys.h"

namespace engine {
namespace {

const float kSteps[] = {0.25f, 0.33f, 0.5f, 0.67f, 0.75f, 0.8f, 0.9f, 1.0f, 1.1f, 1.25f,
                        1.5f,  1.75f, 2.0f, 2.5f,  3.0f,  4.0f, 5.0f};
const int kStepCount = sizeof kSteps / sizeof kSteps[0];
const float kNear = 0.001f;

}  // namespace

ZoomKey zoomKey(int vk, int modifiers) {
  if (modifiers != kModCtrl && modifiers != (kModCtrl | kModShift)) return ZoomKey::None;
  switch (vk) {
    case 0xBB: case 0x6B: return ZoomKey::In;      // = + and the keypad's +
    case 0xBD: case 0x6D: return ZoomKey::Out;     // - and the keypad's -
    case '0': case 0x60: return modifiers == kModCtrl ? ZoomKey::Reset : ZoomKey::None;
  }
  return ZoomKey::None;
}

float nextZoom(float current, ZoomKey key) {
  if (key == ZoomKey::Reset) return 1.0f;
  if (key == ZoomKey::In) {
    for (float s : kSteps)
      if (s > current + kNear) return s;
    return kSteps[kStepCount - 1];
  }
  if (key == ZoomKey::Out) {
    for (int i = kStepCount - 1; i >= 0; --i)
      if (kSteps[i] < current - kNear) return kSteps[i];
    return kSteps[0];
  }
  return current;
}

float clampZoom(float factor) {
  if (!std::isfinite(factor)) return 1.0f;
  if (factor < kSteps[0]) return kSteps[0];
  if (factor > kSteps[kStepCount - 1]) return kSteps[kStepCount - 1];
  return factor;
}

}  // namespace engine
