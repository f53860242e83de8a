// Where a new picture differs from the one shown, so that only that part is
// copied and drawn again: a blinking caret is a few pixels, not the view.
#pragma once
#include <cstdint>

namespace engine {

struct Area {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom past the last pixel
  bool empty() const { return right <= left || bottom <= top; }
};

// The smallest rectangle holding every pixel in which now differs from old,
// both w x h pictures of 32-bit pixels in rows; empty when none does.
Area changedArea(const uint8_t* old, const uint8_t* now, int w, int h);

}  // namespace engine
