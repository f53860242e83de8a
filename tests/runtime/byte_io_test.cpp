#include "runtime/byte_io.h"

#include <gtest/gtest.h>

namespace {

using rt::ByteReader;
using rt::ReadStatus;

// Each read on a reader over the same 7 bytes: what it gives, where it
// leaves the reader, and whether the reader is then bad.
TEST(ByteIo, ReadsStopAtTheEnd) {
  const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x84, 'a', 0, 0xFF};
  struct Case {
    size_t start;
    uint32_t (*read)(ByteReader&);
    uint32_t value;
    size_t pos;
    bool bad;
  };
  const Case cases[] = {
      {0, [](ByteReader& r) { return r.u32(); }, 0x84030201u, 4, false},
      {4, [](ByteReader& r) { return r.u32(); }, 0, 4, true},
      {3, [](ByteReader& r) { return r.u32(); }, 0xFF006184u, 7, false},
      {6, [](ByteReader& r) { return uint32_t(r.u16()); }, 0, 6, true},
      {5, [](ByteReader& r) { return uint32_t(r.u16()); }, 0xFF00u, 7, false},
      {7, [](ByteReader& r) { return uint32_t(r.u8()); }, 0, 7, true},
      {0, [](ByteReader& r) { return uint32_t(r.i32() < 0); }, 1, 4, false},
      {4, [](ByteReader& r) { return uint32_t(r.ztext().size()); }, 1, 6, false},
      {6, [](ByteReader& r) { return uint32_t(r.ztext().size()); }, 0, 6, true},
      {0, [](ByteReader& r) { return uint32_t(r.counted().size()); }, 0, 4, true},
      {0, [](ByteReader& r) { return uint32_t(r.take(8) != nullptr); }, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    ByteReader r(bytes, sizeof bytes);
    r.pos = c.start;
    EXPECT_EQ(c.read(r), c.value);
    EXPECT_EQ(r.pos, c.pos);
    EXPECT_EQ(r.bad, c.bad);
    EXPECT_EQ(r.left(), c.bad ? 0 : sizeof bytes - c.pos);
    if (c.bad) {
      EXPECT_EQ(r.u8(), 0) << "a bad reader stays bad";
    }
  }
}

TEST(ByteIo, VersionRule) {
  const uint8_t v2[] = {2, 0, 0, 0};
  uint32_t version = 0;
  for (uint32_t newest : {2u, 3u}) {
    ByteReader r(v2, sizeof v2);
    EXPECT_EQ(r.version(newest, &version), ReadStatus::kOk);
    EXPECT_EQ(version, 2u);
  }
  ByteReader newer(v2, sizeof v2);
  EXPECT_EQ(newer.version(1, &version), ReadStatus::kNewerVersion);
  ByteReader cut(v2, 3);
  EXPECT_EQ(cut.version(2, &version), ReadStatus::kTruncated);
  ByteReader none(nullptr, 4);
  EXPECT_EQ(none.version(2, &version), ReadStatus::kTruncated);
}

// A fixed span takes what fits and nothing after the first write that does
// not; a vector grows.
TEST(ByteIo, WriterBounds) {
  uint8_t span[7] = {};
  span[6] = 0xA5;
  rt::ByteWriter w(span, 6);
  w.u32(0x04030201);
  w.u32(0xFFFFFFFF);
  EXPECT_TRUE(w.bad);
  w.u16(0xFFFF);
  const uint8_t expected[] = {1, 2, 3, 4, 0, 0, 0xA5};
  EXPECT_EQ(std::memcmp(span, expected, sizeof span), 0);

  std::vector<uint8_t> out;
  rt::ByteWriter g(out);
  g.counted("ab");
  g.ztext("c");
  g.u16(0x0102);
  EXPECT_FALSE(g.bad);
  EXPECT_EQ(out, (std::vector<uint8_t>{2, 0, 0, 0, 'a', 'b', 'c', 0, 2, 1}));
}

}  // namespace
