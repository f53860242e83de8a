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

TEST(Values, ValueBytesByTag) {
  struct Case { uint32_t tag; bool has; uint32_t size; };
  const Case cases[] = {
      {rt::kTagByte, true, 1},  {rt::kTagShort, true, 2},   {rt::kTagInt, true, 4},
      {rt::kTagLong, true, 8},  {rt::kTagFloat, true, 4},   {rt::kTagDouble, true, 8},
      {rt::kTagBool, true, 4},  {rt::kTagDate, true, 8},    {rt::kTagSubPtr, true, 4},
      {rt::kTagTwoWord, true, 8}, {rt::kTagReserved, false, 0}, {0x00010001, false, 0},
      {0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    rt::Value v{};
    v.l = 0x1122334455667788LL;
    v.tag = c.tag;
    const uint8_t* data = nullptr;
    uint32_t size = 99;
    EXPECT_EQ(rt::valueBytes(v, &data, &size), c.has);
    EXPECT_EQ(size, c.size);
    if (c.has) {
      EXPECT_EQ(data, reinterpret_cast<const uint8_t*>(&v));
    }
  }
}

TEST(Values, ValueBytesOfTextAndByteSet) {
  rt::Value t{};
  t.text = "abc";
  t.tag = rt::kTagText;
  const uint8_t* data;
  uint32_t size;
  ASSERT_TRUE(rt::valueBytes(t, &data, &size));
  EXPECT_EQ(size, 4u);  // terminator included
  EXPECT_EQ(data, reinterpret_cast<const uint8_t*>(t.text));

  rt::Value b{};
  b.tag = rt::kTagBin;  // null = empty byte-set
  ASSERT_TRUE(rt::valueBytes(b, &data, &size));
  EXPECT_EQ(size, 0u);
  b.bin = rt::newByteSet("xyz", 3);
  ASSERT_TRUE(rt::valueBytes(b, &data, &size));
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(data, b.bin + 8);
  rt::freeMemory(b.bin);
}

TEST(Values, ReleaseTextArrayFreesEveryElement) {
  ConstantArea area;
  // 2 x 2 text array: one null, one constant, two heap texts.
  auto* block = static_cast<uint32_t*>(rt::allocMemory(3 * 4 + 4 * sizeof(void*)));
  block[0] = 2;
  block[1] = 2;
  block[2] = 2;
  void* elems[4] = {rt::newText("a"), nullptr, area.bytes, rt::newText("b")};
  std::memcpy(block + 3, elems, sizeof elems);
  // Freeing the constant would crash and a missed element would leak: both
  // fail the test under AddressSanitizer.
  rt::releaseArray(block, rt::kTagText | rt::kArrayFlag);
  EXPECT_EQ(area.bytes[0], 1);
}

TEST(Values, TagClassesAndLibraryTypes) {
  EXPECT_EQ(rt::tagClass(0), rt::TagClass::None);
  EXPECT_EQ(rt::tagClass(0x80000301), rt::TagClass::System);
  EXPECT_EQ(rt::tagClass(0xBFFFFFFF), rt::TagClass::System);
  EXPECT_EQ(rt::tagClass(0x40000001), rt::TagClass::Unused);
  EXPECT_EQ(rt::tagClass(0x00020005), rt::TagClass::Library);
  EXPECT_EQ(rt::tagClass(0xC0000001), rt::TagClass::Library);
  EXPECT_EQ(rt::libraryNumber(0x20005), 2u);
  EXPECT_EQ(rt::typeNumber(0x20005), 5u);
  EXPECT_EQ(rt::libraryNumber(0x10001), 1u);
  EXPECT_EQ(rt::typeNumber(0x10001), 1u);
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
