#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "browser/bmp_image.h"
#include "browser/presets.h"
#include "browser/view_properties.h"

namespace {

const char kIpad[] =
    "Mozilla/5.0 (iPad; CPU OS 11_0 like Mac OS X) AppleWebKit/604.1.34 (KHTML, like Gecko) "
    "Version/11.0 Mobile/15A5341f Safari/604.1";

TEST(Presets, NamesMapByteForByte) {
  const char* chrome = web::presetUserAgent("Winsows Chrome");
  ASSERT_NE(chrome, nullptr);
  EXPECT_STREQ(web::presetUserAgent("默认UA"), chrome);
  EXPECT_STREQ(web::presetUserAgent("iPad Pro"), kIpad);
  EXPECT_EQ(std::strlen(kIpad), 128u);
  EXPECT_STREQ(web::presetUserAgent(""), "");
  EXPECT_NE(std::string(web::presetUserAgent("iPhone X")).find("iPhone OS 11_0"),
            std::string::npos);
  for (const char* notPreset : {"ipad pro", "iPad Pro ", "iPhone", "Windows Chrome"}) {
    SCOPED_TRACE(notPreset);
    EXPECT_EQ(web::presetUserAgent(notPreset), nullptr);
  }
}

TEST(ViewProperties, StartupInstanceIs148Bytes) {
  web::ViewProperties p;
  p.userAgent = kIpad;
  std::vector<uint8_t> block = web::writeViewProperties(p);
  ASSERT_EQ(block.size(), 148u);
  const uint8_t head[] = {0x01, 0x07, 0x06, 0x0C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(block.data(), head, sizeof head), 0);
  EXPECT_EQ(std::memcmp(block.data() + 15, kIpad, 129), 0);
}

TEST(ViewProperties, RoundTripAndTruncation) {
  web::ViewProperties p;
  p.disableF5 = 1;
  p.disableCookies = 1;
  p.url = "http://127.0.0.1/读者";
  p.localStoragePath = "pic\\";
  p.cookiePath = "c";
  p.userAgent = "UA";
  p.allowNewWindows = 1;
  std::vector<uint8_t> block = web::writeViewProperties(p);
  EXPECT_EQ(block.size(), 20 + p.url.size() + 4 + 1 + 2);
  web::ViewProperties back;
  ASSERT_EQ(web::readViewProperties(block.data(), block.size(), &back), rt::ReadStatus::kOk);
  EXPECT_EQ(web::writeViewProperties(back), block);
  for (size_t cut = 0; cut < block.size(); ++cut) {
    SCOPED_TRACE(cut);
    web::ViewProperties partial;
    EXPECT_EQ(web::readViewProperties(block.data(), cut, &partial), rt::ReadStatus::kTruncated);
  }
  block[0] += 1;  // a newer version is refused, an older one read
  EXPECT_EQ(web::readViewProperties(block.data(), block.size(), &back),
            rt::ReadStatus::kNewerVersion);
  block[0] -= 2;
  EXPECT_EQ(web::readViewProperties(block.data(), block.size(), &back), rt::ReadStatus::kOk);
}

TEST(ViewProperties, FullPathRules) {
  struct Case {
    const char* path;
    const char* expected;
  };
  const Case cases[] = {
      {"cookies", "C:\\run\\cookies\\"},
      {"pic\\", "C:\\run\\pic\\"},
      {"D:\\data", "D:\\data\\"},
      {"D:\\data\\", "D:\\data\\"},
      {"D:data", "C:\\run\\D:data\\"},
      {"", "C:\\run\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(web::fullPath<char>("C:\\run\\", c.path), c.expected);
  }
}

TEST(BmpImage, HeaderFields) {
  uint8_t h[web::kBmpHeaderSize];
  web::writeBmpHeader(h, 1335, 800, 32);
  EXPECT_EQ(web::bmpFileSize(1335, 800, 32), 4272054u);
  EXPECT_EQ(web::bmpFileSize(1350, 800, 32), 4320054u);
  auto u32 = [&](int o) { return uint32_t(h[o] | h[o + 1] << 8 | h[o + 2] << 16 | h[o + 3] << 24); };
  EXPECT_EQ(h[0], 'B');
  EXPECT_EQ(h[1], 'M');
  EXPECT_EQ(u32(2), 4272054u);
  EXPECT_EQ(u32(6), 0u);
  EXPECT_EQ(u32(10), 54u);
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(u32(18), 1335u);
  EXPECT_EQ(u32(22), 800u);
  EXPECT_EQ(h[26] | h[27] << 8, 1);
  EXPECT_EQ(h[28] | h[29] << 8, 32);
  for (int o = 30; o < 54; ++o) EXPECT_EQ(h[o], 0) << o;
  EXPECT_EQ(web::bmpFileSize(0, 800, 32), 0u);
  EXPECT_EQ(web::bmpFileSize(100000, 100000, 32), 0u);
}

// Depth x width x height can pass 64 bits; a wrapped product must not pass
// for a small file.
TEST(BmpImage, HugeProductsAreRefused) {
  EXPECT_EQ(web::bmpFileSize(1 << 30, 1 << 29, 32), 0u);  // 2^64 bits exactly
  EXPECT_EQ(web::bmpFileSize(0x03800000, 0x00800000, 0x0C000000), 0u);
  EXPECT_EQ(web::bmpFileSize(INT32_MAX, INT32_MAX, INT32_MAX), 0u);
  EXPECT_EQ(web::bmpFileSize(1, 1, INT32_MAX), 268435509u);  // 2^28 - 1 bytes + 54
}

// A snapshot read straight from the engine's rows: either row order in, the
// file's bottom-up rows out, and what lies beyond the source left zero.
TEST(BmpImage, RowsCopiedFromEitherOrderAndClipped) {
  const int32_t sw = 5, sh = 4;
  const size_t stride = sw * 4 + 8;   // padded rows
  std::vector<uint8_t> topDown(stride * sh), bottomUp(stride * sh);
  auto value = [](int32_t x, int32_t y) { return uint32_t(0x01000000 | y << 8 | x); };
  for (int32_t y = 0; y < sh; ++y)
    for (int32_t x = 0; x < sw; ++x) {
      const uint32_t v = value(x, y);
      std::memcpy(&topDown[y * stride + x * 4], &v, 4);
      std::memcpy(&bottomUp[(sh - 1 - y) * stride + x * 4], &v, 4);
    }
  struct Case { int32_t width, height, left, top; };
  const Case cases[] = {{5, 4, 0, 0}, {3, 2, 1, 1}, {5, 4, 2, 1}, {7, 6, 0, 0}, {2, 2, 6, 0}};
  for (bool up : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << up << " " << c.width << "x" << c.height << "+" << c.left
                                      << "+" << c.top);
      const web::PixelRows from{up ? bottomUp.data() : topDown.data(), sw, sh, stride, up};
      std::vector<uint8_t> out(size_t(c.width) * c.height * 4, 0);
      web::copyBmpRows(out.data(), c.width, c.height, from, c.left, c.top);
      for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x) {
          uint32_t got;
          std::memcpy(&got, &out[(size_t(c.height - 1 - y) * c.width + x) * 4], 4);
          const int32_t sx = x + c.left, sy = y + c.top;
          EXPECT_EQ(got, sx < sw && sy < sh ? value(sx, sy) : 0u) << x << "," << y;
        }
    }
}

// The pixel that tells a section's row order: none in a picture that reads
// the same upside down, or that differs there only in alpha.
TEST(BmpImage, RowOrderWitness) {
  struct Case { int32_t x, y; uint8_t byte; bool found; int32_t k; };
  const Case cases[] = {{-1, 0, 0, false, 0}, {3, 1, 0, true, 1}, {2, 3, 1, true, 0},
                        {1, 0, 3, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " byte " << int(c.byte));
    std::vector<uint8_t> bits(4 * 16, 0x80);   // 4 x 4, the same either way up
    if (c.x >= 0) bits[size_t(c.y * 4 + c.x) * 4 + c.byte] ^= 0xFF;
    int32_t x = -1, k = -1;
    EXPECT_EQ(web::rowOrderWitness({bits.data(), 4, 4, 16, false}, &x, &k), c.found);
    if (c.found) EXPECT_EQ(x, c.x);
    if (c.found) EXPECT_EQ(k, c.k);
  }
}

}  // namespace
