#include "engine/websocket_frame.h"

#include <gtest/gtest.h>

namespace {

using engine::FrameReader;
using engine::Opcode;
using engine::WsEvent;

std::string serverFrame(uint8_t first, std::string_view payload) {
  std::string f(1, static_cast<char>(first));
  size_t n = payload.size();
  if (n < 126) {
    f += static_cast<char>(n);
  } else if (n <= 0xFFFF) {
    f += static_cast<char>(126);
    f += static_cast<char>(n >> 8);
    f += static_cast<char>(n & 0xFF);
  } else {
    f += static_cast<char>(127);
    for (int i = 7; i >= 0; --i) f += static_cast<char>((uint64_t(n) >> (8 * i)) & 0xFF);
  }
  return f + std::string(payload);
}

TEST(EncodeFrame, UsesTheShortestLengthAndMasks) {
  const std::array<uint8_t, 4> mask = {0x37, 0xfa, 0x21, 0x3d};
  // "Hello" masked with this key, from the protocol document's example.
  EXPECT_EQ(engine::encodeFrame(Opcode::Text, "Hello", mask),
            std::string("\x81\x85\x37\xfa\x21\x3d\x7f\x9f\x4d\x51\x58", 11));
  struct { size_t len; size_t header; uint8_t second; } cases[] = {
      {0, 6, 0x80}, {125, 6, 0x80 | 125}, {126, 8, 0x80 | 126},
      {65535, 8, 0x80 | 126}, {65536, 14, 0x80 | 127},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.len);
    std::string f = engine::encodeFrame(Opcode::Binary, std::string(c.len, 'x'), mask);
    ASSERT_EQ(f.size(), c.header + c.len);
    EXPECT_EQ(uint8_t(f[0]), 0x82);
    EXPECT_EQ(uint8_t(f[1]), c.second);
    if (c.len == 65536) { EXPECT_EQ(f.substr(2, 8), std::string("\0\0\0\0\0\1\0\0", 8)); }
    if (c.len == 126) { EXPECT_EQ(f.substr(2, 2), std::string("\0\x7e", 2)); }
  }
}

TEST(FrameReader, ReassemblesFragmentsAroundControlFrames) {
  std::string bytes = serverFrame(0x01, "Hel") + serverFrame(0x89, "p") +
                      serverFrame(0x00, "lo ") + serverFrame(0x80, "world") +
                      serverFrame(0x81, std::string(70000, 'z')) + serverFrame(0x88, "\x03\xe8");
  // Byte by byte and all at once must give the same events.
  for (size_t step : {size_t(1), size_t(7), bytes.size()}) {
    SCOPED_TRACE(step);
    FrameReader r;
    std::vector<WsEvent> ev;
    for (size_t i = 0; i < bytes.size(); i += step) r.feed(std::string_view(bytes).substr(i, step), ev);
    ASSERT_FALSE(r.failed()) << r.error();
    ASSERT_EQ(ev.size(), 4u);
    EXPECT_EQ(ev[0].kind, WsEvent::Ping);
    EXPECT_EQ(ev[0].data, "p");
    EXPECT_EQ(ev[1].kind, WsEvent::Message);
    EXPECT_EQ(ev[1].data, "Hello world");
    EXPECT_EQ(ev[2].data.size(), 70000u);
    EXPECT_EQ(ev[3].kind, WsEvent::Close);
  }
}

TEST(FrameReader, RejectsProtocolViolations) {
  struct { const char* what; std::string bytes; } cases[] = {
      {"masked", std::string("\x81\x81\0\0\0\0a", 7)},
      {"reserved bit", serverFrame(0xC1, "a")},
      {"unknown opcode", serverFrame(0x83, "a")},
      {"fragmented ping", serverFrame(0x09, "a")},
      {"long ping", serverFrame(0x89, std::string(126, 'a'))},
      {"stray continuation", serverFrame(0x80, "a")},
      {"text inside fragments", serverFrame(0x01, "a") + serverFrame(0x81, "b")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FrameReader r;
    std::vector<WsEvent> ev;
    r.feed(c.bytes, ev);
    EXPECT_TRUE(r.failed());
    // Once failed, further input is ignored.
    r.feed(serverFrame(0x81, "later"), ev);
    for (const auto& e : ev) EXPECT_NE(e.data, "later");
  }
}

// A message over the limit, whole or in fragments, is passed over and the
// messages around it still arrive, also when fed a byte at a time.
TEST(FrameReader, PassesOverMessagesOverTheLimit) {
  std::string bytes = serverFrame(0x81, "before") + serverFrame(0x01, std::string(60, 'a')) +
                      serverFrame(0x89, "p") + serverFrame(0x00, std::string(60, 'b')) +
                      serverFrame(0x80, std::string(5, 'c')) + serverFrame(0x81, std::string(101, 'd')) +
                      serverFrame(0x01, std::string(101, 'e')) + serverFrame(0x80, "") +
                      serverFrame(0x81, std::string(100, 'f'));
  for (size_t step : {size_t(1), size_t(13), bytes.size()}) {
    SCOPED_TRACE(step);
    FrameReader r(100);
    std::vector<WsEvent> ev;
    for (size_t i = 0; i < bytes.size(); i += step) r.feed(std::string_view(bytes).substr(i, step), ev);
    ASSERT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(r.dropped(), 3u);
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_EQ(ev[0].data, "before");
    EXPECT_EQ(ev[1].kind, WsEvent::Ping);
    EXPECT_EQ(ev[2].data, std::string(100, 'f'));
  }
}

}  // namespace
