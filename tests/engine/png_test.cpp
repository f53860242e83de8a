#include "engine/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string be32(uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string chunk(const std::string& type, const std::string& data) {
  std::string body = type + data;
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
  return be32(uint32_t(data.size())) + body + be32(uint32_t(crc));
}

int predict(int filter, int a, int b, int c) {
  switch (filter) {
    case 1: return a;
    case 2: return b;
    case 3: return (a + b) / 2;
    case 4: {
      int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    default: return 0;
  }
}

// A PNG of the pixels (RGB or RGBA rows), row y filtered with filter y % 5,
// its deflated data split over IDAT chunks of `split` bytes.
std::string makePng(const std::vector<uint8_t>& px, uint32_t w, uint32_t h, int channels, size_t split,
                    std::string header = {}) {
  size_t rowBytes = size_t(w) * channels;
  std::string raw;
  for (uint32_t y = 0; y < h; ++y) {
    int f = int(y % 5);
    raw += char(f);
    for (size_t i = 0; i < rowBytes; ++i) {
      const uint8_t* row = &px[y * rowBytes];
      int a = i >= size_t(channels) ? row[i - channels] : 0;
      int b = y ? row[i - rowBytes] : 0;
      int c = y && i >= size_t(channels) ? row[i - rowBytes - channels] : 0;
      raw += char(uint8_t(row[i] - predict(f, a, b, c)));
    }
  }
  uLongf n = compressBound(uLong(raw.size()));
  std::string z(n, '\0');
  compress2(reinterpret_cast<Bytef*>(z.data()), &n, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), 6);
  z.resize(n);
  if (header.empty()) header = be32(w) + be32(h) + std::string{8, char(channels == 4 ? 6 : 2), 0, 0, 0};
  std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header);
  png += chunk("tEXt", "Software\0test");
  for (size_t at = 0; at < z.size(); at += split) png += chunk("IDAT", z.substr(at, split));
  return png + chunk("IEND", "");
}

std::vector<uint8_t> noise(size_t n, unsigned seed) {
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
  return v;
}

// Every filter, RGB and RGBA, data over one chunk or many: the exact pixels
// in BGRA, rows where the stride puts them.
TEST(Png, DecodesEveryFilterExactly) {
  for (int channels : {3, 4}) {
    for (size_t split : {size_t(1) << 20, size_t(7)}) {
      SCOPED_TRACE(std::to_string(channels) + " channels, split " + std::to_string(split));
      const uint32_t w = 37, h = 23;
      std::vector<uint8_t> px = noise(size_t(w) * h * channels, 7u + channels);
      std::string png = makePng(px, w, h, channels, split);
      uint32_t gw = 0, gh = 0;
      ASSERT_TRUE(engine::pngSize(png, gw, gh));
      EXPECT_EQ(gw, w);
      EXPECT_EQ(gh, h);
      const size_t stride = w * 4 + 8;
      std::vector<uint8_t> out(stride * h, 0xEE);
      ASSERT_TRUE(engine::decodePng(png, out.data(), stride));
      for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
          const uint8_t* s = &px[(size_t(y) * w + x) * channels];
          const uint8_t* o = &out[y * stride + x * 4];
          ASSERT_EQ(o[0], s[2]) << x << "," << y;
          ASSERT_EQ(o[1], s[1]) << x << "," << y;
          ASSERT_EQ(o[2], s[0]) << x << "," << y;
          ASSERT_EQ(o[3], channels == 4 ? s[3] : 255) << x << "," << y;
        }
      EXPECT_EQ(out[w * 4], 0xEE);  // the stride's padding is left alone
    }
  }
}

// Kinds it does not take go to the system's decoder; broken ones fail.
TEST(Png, RefusesOtherKindsAndBrokenPictures) {
  const uint32_t w = 9, h = 5;
  std::vector<uint8_t> px = noise(w * h * 3, 3);
  auto withHeader = [&](uint8_t depth, uint8_t colour, uint8_t interlace) {
    return makePng(px, w, h, 3, 1 << 20, be32(w) + be32(h) + std::string{char(depth), char(colour), 0, 0, char(interlace)});
  };
  uint32_t gw, gh;
  for (const std::string& other : {withHeader(16, 2, 0), withHeader(8, 3, 0), withHeader(8, 2, 1),
                                   withHeader(8, 0, 0), std::string("GIF89a"), std::string()}) {
    EXPECT_FALSE(engine::pngSize(other, gw, gh));
    std::vector<uint8_t> out(w * h * 4);
    EXPECT_FALSE(engine::decodePng(other, out.data(), w * 4));
  }
  std::string good = makePng(px, w, h, 3, 1 << 20);
  std::vector<uint8_t> out(w * h * 4);
  ASSERT_TRUE(engine::decodePng(good, out.data(), w * 4));
  // Cut inside the data, a corrupted stream, a filter type past 4.
  std::string cut = good.substr(0, good.size() - 30);
  EXPECT_FALSE(engine::decodePng(cut, out.data(), w * 4));
  std::string corrupt = good;
  corrupt[good.find("IDAT") + 10] ^= 0x55;
  EXPECT_FALSE(engine::decodePng(corrupt, out.data(), w * 4));
  // The stream's check value is read too: a wrong one is a broken picture.
  std::string badCheck = good;
  badCheck[good.find("IEND") - 9] ^= 0x01;
  EXPECT_FALSE(engine::decodePng(badCheck, out.data(), w * 4));
  std::vector<uint8_t> one(3 * 2);
  std::string raw = std::string(1, char(9)) + std::string(6, '\0');
  uLongf n = compressBound(uLong(raw.size()));
  std::string z(n, '\0');
  compress2(reinterpret_cast<Bytef*>(z.data()), &n, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), 6);
  z.resize(n);
  std::string badFilter = std::string("\x89PNG\r\n\x1a\n", 8) +
                          chunk("IHDR", be32(2) + be32(1) + std::string{8, 2, 0, 0, 0}) + chunk("IDAT", z) + chunk("IEND", "");
  EXPECT_FALSE(engine::decodePng(badFilter, out.data(), 8));
}

}  // namespace
