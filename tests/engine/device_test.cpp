#include "engine/device.h"

#include <gtest/gtest.h>

#include "engine/script_values.h"

namespace {

TEST(DeviceParams, KnowsTheSevenNames) {
  engine::DeviceParams p;
  EXPECT_TRUE(engine::setDeviceParam(p, "navigator.maxTouchPoints", nullptr, 5));
  EXPECT_TRUE(engine::setDeviceParam(p, "navigator.platform", "QD-Mini", 0));
  EXPECT_TRUE(engine::setDeviceParam(p, "navigator.hardwareConcurrency", nullptr, 4));
  EXPECT_TRUE(engine::setDeviceParam(p, "screen.width", nullptr, 1820));
  EXPECT_TRUE(engine::setDeviceParam(p, "screen.height", nullptr, 980));
  EXPECT_TRUE(engine::setDeviceParam(p, "screen.availWidth", nullptr, 1819));
  EXPECT_TRUE(engine::setDeviceParam(p, "screen.availHeight", nullptr, 979));
  for (const char* bad : {"", "navigator.userAgent", "screen.Width", "screen"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(engine::setDeviceParam(p, bad, "x", 1));
  }
  EXPECT_EQ(p.platform, "QD-Mini");
  EXPECT_EQ(p.maxTouchPoints, 5);
  EXPECT_EQ(p.availHeight, 979);
  std::string s = engine::deviceScript(p);
  EXPECT_NE(s.find("'platform',\"QD-Mini\""), std::string::npos);
  EXPECT_NE(s.find("'availWidth',1819"), std::string::npos);
  EXPECT_EQ(engine::deviceScript({}), "");
}

TEST(DeviceParams, QuotesPlatformTextSafely) {
  engine::DeviceParams p;
  engine::setDeviceParam(p, "navigator.platform", "a'\"});alert(1)//", 0);
  std::string s = engine::deviceScript(p);
  EXPECT_NE(s.find(R"("a'\"});alert(1)//")"), std::string::npos);
}

TEST(ValueStore, OldAndUnknownHandlesReadNeutral) {
  engine::ValueStore store(4);
  int64_t first = store.put({"one", 1});
  ASSERT_NE(store.get(first), nullptr);
  EXPECT_EQ(store.get(first)->text, "one");
  for (int i = 0; i < 4; ++i) store.put({"x", i});
  EXPECT_EQ(store.get(first), nullptr);
  EXPECT_EQ(store.get(0), nullptr);
  EXPECT_EQ(store.get(-3), nullptr);
  EXPECT_EQ(store.get(1 << 20), nullptr);
}

}  // namespace
