#include "engine/zoom.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/keys.h"

namespace {

using engine::ZoomKey;

TEST(Zoom, KeysAsABrowserReadsThem) {
  using engine::kModAlt;
  using engine::kModCtrl;
  using engine::kModShift;
  struct Case {
    int vk, mods;
    ZoomKey key;
  } cases[] = {
      {0xBB, kModCtrl, ZoomKey::In},  {0xBB, kModCtrl | kModShift, ZoomKey::In}, {0x6B, kModCtrl, ZoomKey::In},
      {0xBD, kModCtrl, ZoomKey::Out}, {0x6D, kModCtrl, ZoomKey::Out},            {'0', kModCtrl, ZoomKey::Reset},
      {0x60, kModCtrl, ZoomKey::Reset}, {'0', kModCtrl | kModShift, ZoomKey::None}, {0xBB, 0, ZoomKey::None},
      {0xBB, kModCtrl | kModAlt, ZoomKey::None}, {'A', kModCtrl, ZoomKey::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    EXPECT_EQ(engine::zoomKey(c.vk, c.mods), c.key);
  }
}

TEST(Zoom, StepsInOutAndBack) {
  struct Case {
    float from;
    ZoomKey key;
    float to;
  } cases[] = {
      {1.0f, ZoomKey::In, 1.1f},  {1.1f, ZoomKey::In, 1.25f}, {1.0f, ZoomKey::Out, 0.9f},
      {0.25f, ZoomKey::Out, 0.25f}, {5.0f, ZoomKey::In, 5.0f}, {1.17f, ZoomKey::In, 1.25f},
      {1.17f, ZoomKey::Out, 1.1f}, {3.3f, ZoomKey::Reset, 1.0f}, {0.1f, ZoomKey::In, 0.25f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    EXPECT_FLOAT_EQ(engine::nextZoom(c.from, c.key), c.to);
  }
  EXPECT_FLOAT_EQ(engine::clampZoom(0.0f), 0.25f);
  EXPECT_FLOAT_EQ(engine::clampZoom(-3.0f), 0.25f);
  EXPECT_FLOAT_EQ(engine::clampZoom(9.0f), 5.0f);
  EXPECT_FLOAT_EQ(engine::clampZoom(std::numeric_limits<float>::quiet_NaN()), 1.0f);
  EXPECT_FLOAT_EQ(engine::clampZoom(1.3f), 1.3f);
}

}  // namespace
