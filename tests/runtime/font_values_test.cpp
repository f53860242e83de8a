#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "runtime/font_values.h"
#include "runtime/runtime.h"

namespace {

using Desc = std::vector<uint8_t>;

// A LOGFONTA image written out by hand: height -16 (12 pt at 96 dpi),
// escapement/orientation 450, weight 700, italic, no underline, strike-out,
// charset 134, face "黑体".
Desc sampleDesc() {
  Desc d(60, 0);
  const uint8_t head[] = {0xF0, 0xFF, 0xFF, 0xFF,  0, 0, 0, 0,  0xC2, 0x01, 0, 0,  0xC2, 0x01, 0, 0,
                          0xBC, 0x02, 0, 0,  1, 0, 1, 134};
  std::memcpy(d.data(), head, sizeof head);
  const char face[] = "\xBA\xDA\xCC\xE5";
  std::memcpy(d.data() + 28, face, 4);
  return d;
}

int32_t word(const Desc& d, size_t at) {
  int32_t v;
  std::memcpy(&v, d.data() + at, 4);
  return v;
}

TEST(FontValues, ReadsEveryFieldOfADescription) {
  const Desc d = sampleDesc();
  rt::FontValue* v = rt::newFontValue(d.data(), 96);
  EXPECT_EQ(450, v->angle);
  EXPECT_EQ(1, v->bold);
  EXPECT_EQ(1, v->italic);
  EXPECT_EQ(1, v->strikeOut);
  EXPECT_EQ(0, v->underline);
  EXPECT_EQ(12, v->size);
  EXPECT_STREQ("\xBA\xDA\xCC\xE5", v->face);
  // The same through element indexes.
  const int64_t fields[] = {450, 1, 1, 1, 0, 12};
  for (int32_t e = 0; e < 6; ++e) {
    SCOPED_TRACE(e);
    EXPECT_EQ(fields[e], rt::fontField(d.data(), e, 96));
  }
  auto face = reinterpret_cast<char*>(uintptr_t(rt::fontField(d.data(), 6, 96)));
  EXPECT_STREQ("\xBA\xDA\xCC\xE5", face);
  EXPECT_EQ(0, rt::fontField(d.data(), 7, 96));
  EXPECT_EQ(0, rt::fontField(d.data(), -2, 96));
  rt::freeMemory(face);
  rt::freeMemory(v);   // the face goes with it: the leak checker sees the rest
}

TEST(FontValues, WritesOneFieldAndLeavesTheRest) {
  struct Case { int32_t element; uint32_t value; size_t at; int32_t expected; };
  const Case cases[] = {
    {0, 3700, 8, 100},                  // angles wrap at 3600 ...
    {0, uint32_t(-100), 8, 3500},       // ... negative ones from the top
    {0, uint32_t(-3600), 12, 0},        // orientation follows escapement
    {1, 0, 16, 0},                      // not bold: weight 0
    {1, 5, 16, 700},
    {5, 9, 0, -12},                     // 9 pt at 96 dpi
    {5, 72, 0, -96},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "element " << c.element << " value " << int32_t(c.value));
    Desc d = sampleDesc();
    ASSERT_TRUE(rt::setFontField(d.data(), c.element, uintptr_t(int32_t(c.value)), 96));
    EXPECT_EQ(c.expected, word(d, c.at));
    Desc rest = sampleDesc();
    // Only the field's own bytes moved.
    for (size_t i = 0; i < 60; ++i)
      if (i < c.at || i >= c.at + 4) {
        if (c.element == 0 && i >= 8 && i < 16) continue;
        EXPECT_EQ(rest[i], d[i]) << "byte " << i;
      }
  }
  Desc d = sampleDesc();
  EXPECT_FALSE(rt::setFontField(d.data(), 7, 1, 96));
  EXPECT_EQ(sampleDesc(), d);
}

TEST(FontValues, FaceNamesOutsideOneTo31BytesFallBack) {
  const std::string longName(32, 'A');
  struct Case { const char* face; const char* stored; };
  const Case cases[] = {
    {"Arial", "Arial"},
    {"\xBA\xDA\xCC\xE5", "\xBA\xDA\xCC\xE5"},
    {"", "\xCB\xCE\xCC\xE5"},                        // 宋体
    {nullptr, "\xCB\xCE\xCC\xE5"},
    {longName.c_str(), "\xCB\xCE\xCC\xE5"},
    {longName.c_str() + 1, longName.c_str() + 1},    // 31 bytes fit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    Desc d = sampleDesc();
    ASSERT_TRUE(rt::setFontField(d.data(), 6, uintptr_t(c.face), 96));
    EXPECT_STREQ(c.stored, reinterpret_cast<const char*>(d.data() + 28));
    EXPECT_EQ(0, d[59]) << "the face stays terminated";
  }
}

TEST(FontValues, DescribesAFontValue) {
  char face[] = "Arial";
  rt::FontValue v = {-900, 1, 0, 1, 1, 10, face};
  Desc d(60, 0xAA);
  rt::describeFont(&v, 120, d.data());
  EXPECT_EQ(-17, word(d, 0));      // 10 pt at 120 dpi = 16.67 px
  EXPECT_EQ(0, word(d, 4));
  EXPECT_EQ(2700, word(d, 8));
  EXPECT_EQ(2700, word(d, 12));
  EXPECT_EQ(700, word(d, 16));
  EXPECT_EQ(0, d[20]);
  EXPECT_EQ(1, d[21]);
  EXPECT_EQ(1, d[22]);
  EXPECT_EQ(1, d[23]);             // default character set
  EXPECT_EQ(0, d[24]);
  EXPECT_STREQ("Arial", reinterpret_cast<const char*>(d.data() + 28));
  EXPECT_EQ(0, d[59]);
  // And back.
  rt::FontValue* back = rt::newFontValue(d.data(), 120);
  EXPECT_EQ(2700, back->angle);
  EXPECT_EQ(10, back->size);
  EXPECT_EQ(1, back->underline);
  rt::freeMemory(back);
}

}  // namespace
