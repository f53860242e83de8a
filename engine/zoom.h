// Page zoom as a browser steps it: Ctrl with plus, minus or 0, and Ctrl
// with the wheel.
#pragma once

namespace engine {

enum class ZoomKey { None, In, Out, Reset };

// The zoom a key stands for with these modifiers (kModCtrl alone).
ZoomKey zoomKey(int vk, int modifiers);

// The next level in, out or back to 1 from current; a current level between
// the steps moves to the nearest step in that direction.
float nextZoom(float current, ZoomKey key);

// A factor the application sets, held within the steps' range.
float clampZoom(float factor);

}  // namespace engine
