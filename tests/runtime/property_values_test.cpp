#include <gtest/gtest.h>
#include <cstring>
#include "runtime/property_values.h"
#include "runtime/runtime.h"

namespace {

TEST(PropertyValues, GeometryClamps) {
  struct Case { int32_t in, position, size; };
  const Case cases[] = {
      {40000, 32627, 32627}, {32627, 32627, 32627}, {32628, 32627, 32627},
      {-5, -5, 0},           {-32627, -32627, 0},   {-40000, -32627, 0},
      {0, 0, 0},             {1365, 1365, 1365},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(rt::clampPosition(c.in), c.position);
    EXPECT_EQ(rt::clampSize(c.in), c.size);
  }
}

TEST(PropertyValues, FormsOfTypeCodes) {
  struct Case { uint16_t code; rt::PropForm form; };
  const Case cases[] = {
      {1000, rt::PropForm::Integer}, {1001, rt::PropForm::Integer}, {1002, rt::PropForm::Real},
      {1003, rt::PropForm::Logical}, {1004, rt::PropForm::Real},    {1005, rt::PropForm::Text},
      {1006, rt::PropForm::Choice},  {1009, rt::PropForm::Raw},     {1011, rt::PropForm::Raw},
      {1013, rt::PropForm::Font},    {1014, rt::PropForm::Integer}, {1016, rt::PropForm::Text},
      {1022, rt::PropForm::Text},    {1024, rt::PropForm::Raw},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(rt::propForm(c.code), c.form);
  }
}

TEST(PropertyValues, WrittenValuesAreNormalised) {
  rt::PropValue v;
  ASSERT_TRUE(rt::propertyArgument(rt::PropForm::Logical, 5, 0, &v));
  EXPECT_EQ(v.i, 1);
  ASSERT_TRUE(rt::propertyArgument(rt::PropForm::Choice, uint32_t(-3), 0, &v));
  EXPECT_EQ(v.i, 0);
  ASSERT_TRUE(rt::propertyArgument(rt::PropForm::Choice, 2, 0, &v));
  EXPECT_EQ(v.i, 2);
  ASSERT_TRUE(rt::propertyArgument(rt::PropForm::Real, 0x11, 0x22, &v));
  EXPECT_EQ(v.w[0], 0x11u);
  EXPECT_EQ(v.w[1], 0x22u);
  ASSERT_TRUE(rt::propertyArgument(rt::PropForm::Text, 0, 0, &v));
  EXPECT_STREQ(v.text, "");   // null text becomes the empty text
  ASSERT_TRUE(rt::propertyArgument(rt::PropForm::Raw, 0, 0, &v));
  EXPECT_EQ(v.raw.size, 0u);
}

TEST(PropertyValues, ReadResultsAreNewBlocks) {
  rt::PropValue v{};
  v.text = "编辑框";
  int64_t r = rt::propertyResult(rt::PropForm::Text, v);
  auto* t = reinterpret_cast<char*>(uintptr_t(r));
  ASSERT_NE(t, v.text);
  EXPECT_STREQ(t, "编辑框");
  rt::freeMemory(t);
  v.text = nullptr;
  EXPECT_EQ(rt::propertyResult(rt::PropForm::Text, v), 0);
  rt::PropValue raw{};
  raw.raw.data = reinterpret_cast<const uint8_t*>("\x01\x02");
  raw.raw.size = 2;
  auto* b = reinterpret_cast<uint8_t*>(uintptr_t(rt::propertyResult(rt::PropForm::Raw, raw)));
  EXPECT_EQ(rt::byteSetSize(b), 2u);
  EXPECT_EQ(0, std::memcmp(rt::byteSetData(b), "\x01\x02", 2));
  rt::freeMemory(b);
  rt::PropValue logical{};
  logical.i = 7;
  EXPECT_EQ(rt::propertyResult(rt::PropForm::Logical, logical), 1);
}

}  // namespace
