#include <gtest/gtest.h>
#include <cstring>
#include "runtime/form_description.h"

namespace {

// Builds a block by hand, field by field as the layout lists them.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& w(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
    return *this;
  }
  Bytes& z(const char* s) {
    b.insert(b.end(), s, s + std::strlen(s) + 1);
    return *this;
  }
  Bytes& raw(const void* p, size_t n) {
    auto c = static_cast<const uint8_t*>(p);
    b.insert(b.end(), c, c + n);
    return *this;
  }
  Bytes& zeros(size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
};

Bytes windowRecord() {
  Bytes r;
  r.w(0x00010001).w(0).zeros(16).z("").z("");
  r.w(0).w(50).w(50).w(1365).w(840).w(0).w(0).w(0);  // slot, geometry, cursor, parent, children
  r.w(4).w(0);                                         // mouse pointer block
  r.z("win").w(0).w(1).w(0);                           // tag, reserved, flags, focus
  r.w(3).w(8).w(0x10).w(4).w(0x20).w(3).w(0xFFFFFFFF); // events
  r.zeros(20).raw("\x01\x00\x00\x00\xAA", 5);          // property data
  return r;
}

Bytes buttonRecord() {
  Bytes r;
  r.w(0x0001000B).w(0).zeros(16).z("按钮1").z("");
  r.w(0).w(360).w(98).w(150).w(50).w(0).w(0).w(2).w(0x1601A14C).w(0);
  r.w(4).w(0).z("").w(0).w(5).w(7);
  r.w(1).w(0).w(0x30).zeros(20).raw("\x02\x00\x00\x00", 4);
  return r;
}

std::vector<uint8_t> sampleBlock() {
  Bytes rec0 = windowRecord(), rec1 = buttonRecord();
  uint32_t area = 2 * 8 + 4 + uint32_t(rec0.b.size()) + 4 + uint32_t(rec1.b.size());
  Bytes f;
  f.w(8).w(0x52010001).w(0xDEADBEEF);
  f.w(0x01570C88).w(0x19010003).w(2).raw("ab", 2).w(0);
  f.w(2).w(area).w(0x06010000).w(0x1601A14D);
  f.w(0).w(4 + uint32_t(rec0.b.size()));
  f.w(uint32_t(rec0.b.size())).raw(rec0.b.data(), rec0.b.size());
  f.w(uint32_t(rec1.b.size())).raw(rec1.b.data(), rec1.b.size());
  return f.b;
}

TEST(FormDescription, ReadsEveryField) {
  std::vector<uint8_t> block = sampleBlock();
  rt::FormDescription form;
  ASSERT_TRUE(rt::readFormDescription(block.data(), block.size(), &form));
  ASSERT_EQ(form.windows.size(), 1u);
  const rt::FormWindow& w = form.windows[0];
  EXPECT_EQ(w.id, 0x52010001u);
  EXPECT_EQ(w.slotWord, 0xDEADBEEFu);
  EXPECT_EQ(w.desc.headerA, 0x01570C88u);
  EXPECT_EQ(w.desc.text1, "ab");
  ASSERT_EQ(w.desc.records.size(), 2u);
  const rt::ComponentRecord& win = w.desc.records[0];
  EXPECT_EQ(win.id, 0x06010000u);
  EXPECT_EQ(win.width, 1365);
  EXPECT_EQ(win.tag, "win");
  ASSERT_EQ(win.events.size(), 3u);
  EXPECT_EQ(win.events[2].event, 3);
  EXPECT_EQ(win.events[2].offset, -1);
  EXPECT_EQ(win.propertyData, (std::vector<uint8_t>{1, 0, 0, 0, 0xAA}));
  const rt::ComponentRecord& btn = w.desc.records[1];
  EXPECT_EQ(btn.name, "按钮1");
  EXPECT_EQ(btn.children, (std::vector<uint32_t>{0x1601A14C, 0}));
  EXPECT_EQ(btn.flags, 5u);
  EXPECT_EQ(btn.focusOrder, 7u);
  EXPECT_EQ(btn.mousePointer, (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(FormDescription, RoundTripsByteForByte) {
  std::vector<uint8_t> block = sampleBlock();
  rt::FormDescription form;
  ASSERT_TRUE(rt::readFormDescription(block.data(), block.size(), &form));
  EXPECT_EQ(rt::writeFormDescription(form), block);
}

TEST(FormDescription, RefusesEveryTruncation) {
  const std::vector<uint8_t> good = sampleBlock();
  for (size_t n = 0; n < good.size(); ++n) {
    SCOPED_TRACE(n);
    // A copy of exactly n bytes, so ASan sees any read past the end.
    std::vector<uint8_t> cut(good.begin(), good.begin() + n);
    rt::FormDescription form;
    EXPECT_FALSE(rt::readFormDescription(cut.data(), cut.size(), &form));
  }
}

TEST(FormDescription, RefusesLengthsPastTheEnd) {
  const std::vector<uint8_t> good = sampleBlock();
  struct Case { const char* what; size_t offset; uint32_t value; };
  const Case cases[] = {
      {"window table length", 0, 0x10},
      {"odd window table length", 0, 12},
      {"first text length", 20, 0x7FFFFFFF},
      {"record count", 30, 0x40000000},
      {"record area length", 34, 0xFFFFFFFC},
      {"record offset", 46, 0x1000},
      {"record length", 54, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bad = good;
    std::memcpy(bad.data() + c.offset, &c.value, 4);
    rt::FormDescription form;
    EXPECT_FALSE(rt::readFormDescription(bad.data(), bad.size(), &form));
  }
}

TEST(FormDescription, RefusesCountsInsideARecordPastItsEnd) {
  // Child and event counts are bounded by the record, not by the block.
  std::vector<uint8_t> good = sampleBlock();
  Bytes rec0 = windowRecord();
  size_t rec1 = 58 + rec0.b.size() + 4;             // first byte of record 1
  size_t childCount = rec1 + 24 + sizeof("按钮1") + 1 + 28;
  for (uint32_t v : {1000u, 0x20000000u}) {
    SCOPED_TRACE(v);
    std::vector<uint8_t> bad = good;
    ASSERT_EQ(bad[childCount], 2);
    std::memcpy(bad.data() + childCount, &v, 4);
    rt::FormDescription form;
    EXPECT_FALSE(rt::readFormDescription(bad.data(), bad.size(), &form));
  }
}

TEST(FormDescription, ResolvesRoutineOffsets) {
  std::vector<uint8_t> block = sampleBlock();
  rt::FormDescription form;
  ASSERT_TRUE(rt::readFormDescription(block.data(), block.size(), &form));
  rt::resolveRoutines(&form, 0x401000);
  const auto& ev = form.windows[0].desc.records[0].events;
  EXPECT_EQ(ev[0].routine, 0x401010u);
  EXPECT_EQ(ev[1].routine, 0x401020u);
  EXPECT_EQ(ev[2].routine, 0u);
  EXPECT_EQ(form.windows[0].desc.records[1].events[0].routine, 0x401030u);
}

TEST(FormDescription, EmptyTableIsValid) {
  const uint8_t block[4] = {0, 0, 0, 0};
  rt::FormDescription form;
  EXPECT_TRUE(rt::readFormDescription(block, 4, &form));
  EXPECT_TRUE(form.windows.empty());
}

}  // namespace
