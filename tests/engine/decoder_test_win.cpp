// Pictures decoded on the decoder's own thread: announced to the window,
// the newest wins, and what cannot be decoded never reaches the surface.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/decoder_win.h"
#include "engine/base64.h"

namespace engine {
void engineLog(const std::string&) {}
}  // namespace engine

namespace {

// A 2x1 RGB picture of one colour, stored (no compression) in a zlib stream.
std::string solidPng(uint8_t r, uint8_t g, uint8_t b) {
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  auto chunk = [&](const std::string& type, const std::string& data) {
    std::string body = type + data;
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : body) {
      crc ^= c;
      for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return be32(uint32_t(data.size())) + body + be32(~crc);
  };
  std::string raw = {0, char(r), char(g), char(b), char(r), char(g), char(b)};
  uint32_t a = 1, s = 0;
  for (unsigned char c : raw) a = (a + c) % 65521, s = (s + a) % 65521;
  std::string z = std::string{0x78, 0x01, 0x01, char(raw.size()), 0, char(~raw.size()), char(0xFF)} + raw + be32(s << 16 | a);
  return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", be32(2) + be32(1) + std::string{8, 2, 0, 0, 0}) +
         chunk("IDAT", z) + chunk("IEND", "");
}

TEST(Decoder, AnnouncesTheNewestPictureAndBrokenOnesEmpty) {
  HWND w = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  const UINT kReady = WM_APP + 7;
  engine::Decoder d(w, kReady);
  d.submit("not base64!", 1);
  d.submit(engine::base64Encode(solidPng(10, 20, 30)), 2);
  d.submit(engine::base64Encode(solidPng(200, 100, 50)), 3);
  d.settle(5000);
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, w, kReady, kReady, PM_REMOVE)) << "no picture was announced";
  engine::Pixels p;
  ASSERT_TRUE(d.take(p));
  EXPECT_FALSE(d.take(p)) << "a picture is taken once";
  // The 2nd may have been decoded first, but the 3rd is the one left.
  EXPECT_EQ(p.number, 3u);
  ASSERT_EQ(p.width, 2);
  ASSERT_EQ(p.height, 1);
  EXPECT_EQ(p.bgra, (std::vector<uint8_t>{50, 100, 200, 255, 50, 100, 200, 255}));
  while (PeekMessageW(&m, w, kReady, kReady, PM_REMOVE)) {
  }
  d.submit(engine::base64Encode("\x89PNG broken"), 4);
  d.settle(5000);
  // Told of, so that nobody waits for it, but with nothing to show.
  ASSERT_TRUE(PeekMessageW(&m, w, kReady, kReady, PM_REMOVE)) << "a broken picture was not announced";
  ASSERT_TRUE(d.take(p));
  EXPECT_EQ(p.number, 4u);
  EXPECT_EQ(p.width * p.height, 0) << "a broken picture has pixels";
  EXPECT_TRUE(p.bgra.empty());
  DestroyWindow(w);
}

// The browser's frames are JPEG: 16x8, the left half rgb(200,100,50), the
// right rgb(10,20,240), decoded into rows handed back from a smaller picture.
TEST(Decoder, WidensJpegRowsIntoARowBufferGivenBack) {
  engine::Decoder d(nullptr, WM_APP + 7);
  d.giveBack(std::vector<uint8_t>(8, 0));
  d.submit("/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEB"
           "AQEBAQEBAQEBAQEBAQH/2wBDAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEB"
           "AQEBAQEBAQH/wAARCAAIABADAREAAhEBAxEB/8QAFQABAQAAAAAAAAAAAAAAAAAABgr/xAAUEAEAAAAAAAAAAAAAAAAAAAAA/8QA"
           "FgEBAQEAAAAAAAAAAAAAAAAACQoL/8QAFBEBAAAAAAAAAAAAAAAAAAAAAP/aAAwDAQACEQMRAD8APivNglvaaCZd/9k=", 1);
  d.settle(5000);
  engine::Pixels p;
  ASSERT_TRUE(d.take(p));
  ASSERT_EQ(p.width, 16);
  ASSERT_EQ(p.height, 8);
  ASSERT_EQ(p.bgra.size(), 16u * 8 * 4);
  for (int i = 0; i < 16 * 8 * 4; ++i) {
    const int left[4] = {50, 100, 200, 255}, right[4] = {240, 20, 10, 255};
    ASSERT_NEAR(p.bgra[i], (i / 4 % 16 < 8 ? left : right)[i % 4], i % 4 == 3 ? 0 : 3) << "byte " << i;
  }
}
}  // namespace
