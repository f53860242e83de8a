#include <gtest/gtest.h>
#include <cstring>
#include "runtime/runtime.h"
#include "runtime/value.h"
#include "tests/runtime/report_exit.h"

namespace {

struct ConstantArea {
  uint8_t bytes[32];
  ConstantArea() {
    for (int i = 0; i < 32; ++i) bytes[i] = uint8_t(i + 1);
    rt::setConstantArea(bytes, sizeof bytes);
  }
  ~ConstantArea() { rt::setConstantArea(nullptr, 0); }
};

TEST(Heap, FreeIgnoresNullAndConstants) {
  ConstantArea area;
  rt::freeMemory(nullptr);
  rt::freeMemory(area.bytes);       // would crash under ASan if freed
  rt::freeMemory(area.bytes + 31);
  EXPECT_EQ(area.bytes[0], 1);
  EXPECT_TRUE(rt::isConstant(area.bytes + 31));
  EXPECT_FALSE(rt::isConstant(area.bytes + 32));
}

TEST(Heap, ReallocOfConstantCopiesUpToAreaEnd) {
  ConstantArea area;
  // 4 bytes before the end: only those 4 may be read.
  auto* p = static_cast<uint8_t*>(rt::reallocMemory(area.bytes + 28, 16));
  ASSERT_NE(p, area.bytes + 28);
  EXPECT_FALSE(rt::isConstant(p));
  EXPECT_EQ(0, std::memcmp(p, "\x1d\x1e\x1f\x20", 4));
  auto* q = static_cast<uint8_t*>(rt::reallocMemory(area.bytes, 3));
  EXPECT_EQ(0, std::memcmp(q, "\x01\x02\x03", 3));
  EXPECT_EQ(area.bytes[0], 1);  // the constant is unchanged
  rt::freeMemory(p);
  rt::freeMemory(q);
}

TEST(Heap, ReallocNullAllocatesAndGrowKeepsBytes) {
  auto* p = static_cast<char*>(rt::reallocMemory(nullptr, 4));
  std::memcpy(p, "abc", 4);
  p = static_cast<char*>(rt::reallocMemory(p, 4096));
  EXPECT_STREQ(p, "abc");
  rt::freeMemory(p);
}

TEST(Heap, AfterAreaClearedNothingIsConstant) {
  uint8_t bytes[4] = {};
  rt::setConstantArea(bytes, 4);
  rt::setConstantArea(bytes, 0);
  EXPECT_FALSE(rt::isConstant(bytes));
}

#if UINTPTR_MAX == 0xFFFFFFFFu  // a 64-bit host may well grant 4 GB
TEST(HeapDeathTest, AllocationFailureReportsSize) {
  EXPECT_EXIT(rt::allocMemory(0xFFFFFFF0u), testing::ExitedWithCode(kReportExitCode), "-16");
}
#endif

TEST(Values, EmptyConstructorsGiveNull) {
  EXPECT_EQ(rt::newText(""), nullptr);
  EXPECT_EQ(rt::newByteSet("x", 0), nullptr);
  char* t = rt::newText("ab");
  EXPECT_STREQ(t, "ab");
  rt::freeMemory(t);
  uint8_t* b = rt::newByteSet("\x01\x02\x03", 3);
  const uint8_t head[8] = {1, 0, 0, 0, 3, 0, 0, 0};
  EXPECT_EQ(0, std::memcmp(b, head, 8));
  EXPECT_EQ(rt::byteSetSize(b), 3u);
  EXPECT_EQ(0, std::memcmp(rt::byteSetData(b), "\x01\x02\x03", 3));
  rt::freeMemory(b);
}

// Data-field sizes, the one table ToByteSet and the array sizes read.
TEST(Values, InlineSizesByTag) {
  struct Case { uint32_t tag; uint32_t size; };
  const Case cases[] = {
      {rt::kTagByte, 1},  {rt::kTagShort, 2},   {rt::kTagInt, 4},     {rt::kTagLong, 8},
      {rt::kTagFloat, 4}, {rt::kTagDouble, 8},  {rt::kTagBool, 4},    {rt::kTagDate, 8},
      {rt::kTagSubPtr, 4}, {rt::kTagTwoWord, 8}, {rt::kTagReserved, 0}, {rt::kTagText, 0},
      {rt::kTagBin, 0},   {0x00010001, 0},      {0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    EXPECT_EQ(rt::inlineSize(c.tag), c.size);
  }
  // Arrays hold texts and byte-sets as 4-byte pointers.
  EXPECT_EQ(rt::arrayElementSize(rt::kTagText), 4u);
  EXPECT_EQ(rt::arrayElementSize(rt::kTagBin), 4u);
  EXPECT_EQ(rt::arrayElementSize(rt::kTagReserved), 0u);
}

TEST(Values, ToInt32Conversions) {
  struct Case { uint32_t tag; uint64_t bits; bool ok; int32_t want; };
  double d = -2.9, big = 1e12;
  float f = 7.9f;
  uint64_t db, bb;
  uint32_t fb;
  std::memcpy(&db, &d, 8);
  std::memcpy(&bb, &big, 8);
  std::memcpy(&fb, &f, 4);
  const Case cases[] = {
      {rt::kTagByte, 0xFFFFFFFF, true, 255},
      {rt::kTagShort, 0x0000FFFE, true, -2},
      {rt::kTagInt, 0xFFFFFFFB, true, -5},
      {rt::kTagLong, 0x0000000100000002ull, true, 2},
      {rt::kTagFloat, fb, true, 7},
      {rt::kTagDouble, db, true, -2},
      {rt::kTagDouble, bb, true, INT32_MAX},
      {rt::kTagText, 0, false, 0},
      {rt::kTagBool, 1, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    rt::Value v{};
    std::memcpy(&v, &c.bits, 8);
    v.tag = c.tag;
    int32_t out = 12345;
    EXPECT_EQ(rt::valueToInt32(v, &out), c.ok);
    if (c.ok) {
      EXPECT_EQ(out, c.want);
    }
  }
}

}  // namespace
