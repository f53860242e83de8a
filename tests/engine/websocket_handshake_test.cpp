#include "engine/base64.h"
#include "engine/websocket_handshake.h"

#include <gtest/gtest.h>

namespace {

std::string hex(const std::array<uint8_t, 20>& d) {
  static const char* k = "0123456789abcdef";
  std::string s;
  for (uint8_t b : d) { s += k[b >> 4]; s += k[b & 15]; }
  return s;
}

TEST(Sha1, MatchesPublishedVectors) {
  struct { std::string in; const char* out; } cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in.substr(0, 20));
    EXPECT_EQ(hex(engine::sha1(c.in)), c.out);
  }
}

TEST(Base64, RoundTripsTestVectors) {
  struct { const char* raw; const char* enc; } cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(engine::base64Encode(c.raw), c.enc);
    std::string out;
    ASSERT_TRUE(engine::base64Decode(c.enc, out));
    EXPECT_EQ(out, c.raw);
  }
}

TEST(Base64, RejectsMalformedText) {
  for (const char* bad : {"Zg=", "Z===", "Zm9v!A==", "=Zg=", "Zg==Zg==", "Zm=v", "Zm9"}) {
    SCOPED_TRACE(bad);
    std::string out;
    EXPECT_FALSE(engine::base64Decode(bad, out));
  }
}

TEST(Handshake, AcceptsOnlyTheRightAnswer) {
  // The sample exchange of the WebSocket protocol document.
  const std::string key = "dGhlIHNhbXBsZSBub25jZQ==";
  EXPECT_EQ(engine::acceptFor(key), "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
  struct { const char* header; bool ok; } cases[] = {
      {"HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
       "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n\r\n", true},
      {"HTTP/1.1 101 Switching Protocols\r\nupgrade: WebSocket\r\n"
       "sec-websocket-accept:   s3pPLMBiTxaQ9kYGzzhZRbK+xOo=  \r\n\r\n", true},
      {"HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n"
       "Sec-WebSocket-Accept: AAAALMBiTxaQ9kYGzzhZ5zdQPBc=\r\n\r\n", false},
      {"HTTP/1.1 400 Bad Request\r\nUpgrade: websocket\r\n"
       "Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n\r\n", false},
      {"HTTP/1.1 101 Switching Protocols\r\n\r\n", false},
      {"garbage\r\n\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    EXPECT_EQ(engine::upgradeAccepted(c.header, key), c.ok);
  }
}

TEST(Handshake, FindsHeaderEndAndBody) {
  EXPECT_EQ(engine::headerLength("HTTP/1.1 200 OK\r\nA: b\r\n"), 0u);
  EXPECT_EQ(engine::headerLength("HTTP/1.1 200 OK\r\n\r\nxy"), 19u);
  std::string body;
  bool complete = false;
  EXPECT_FALSE(engine::httpBody("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabc", body, complete));
  EXPECT_FALSE(complete);
  EXPECT_TRUE(engine::httpBody("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabcdefg", body, complete));
  EXPECT_TRUE(complete);
  EXPECT_EQ(body, "abcde");
  EXPECT_FALSE(engine::httpBody("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", body, complete));
  EXPECT_TRUE(complete);
}

TEST(Handshake, UnusableLengthsEndTheAnswer) {
  for (const char* len : {"-5", "x", "99999999999999999999", "17000000", "+5"}) {
    SCOPED_TRACE(len);
    std::string body;
    bool complete = false;
    std::string answer = std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + len + "\r\n\r\nabc";
    EXPECT_FALSE(engine::httpBody(answer, body, complete));
    EXPECT_TRUE(complete);
  }
}

}  // namespace
