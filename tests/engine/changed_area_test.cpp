#include "engine/changed_area.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Pixels changed in a 7 x 5 picture, and the box they make.
TEST(ChangedArea, BoxesEveryChangedPixel) {
  struct Case {
    std::vector<std::pair<int, int>> changed;  // x, y
    engine::Area box;
  } cases[] = {
      {{}, {}},
      {{{3, 2}}, {3, 2, 4, 3}},
      {{{0, 0}}, {0, 0, 1, 1}},
      {{{6, 4}}, {6, 4, 7, 5}},
      {{{5, 0}, {1, 3}}, {1, 0, 6, 4}},
      {{{0, 2}, {6, 2}}, {0, 2, 7, 3}},
      {{{2, 1}, {4, 1}, {3, 4}}, {2, 1, 5, 5}},
  };
  const int w = 7, h = 5;
  for (const Case& c : cases) {
    std::vector<uint8_t> old(w * h * 4, 0x80), now = old;
    for (auto [x, y] : c.changed) now[(y * w + x) * 4 + 3] ^= 1;  // one byte of the pixel
    engine::Area a = engine::changedArea(old.data(), now.data(), w, h);
    SCOPED_TRACE(c.changed.size());
    EXPECT_EQ(a.empty(), c.changed.empty());
    if (c.changed.empty()) continue;
    EXPECT_EQ((std::vector<int>{a.left, a.top, a.right, a.bottom}),
              (std::vector<int>{c.box.left, c.box.top, c.box.right, c.box.bottom}));
  }
}

}  // namespace
