#include "engine/message.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base64.h"
#include "engine/script.h"

namespace {

using Json = nlohmann::json;

// Base64-looking text of n bytes, big enough to take the fast way.
std::string bulk(size_t n) {
  const std::string unit = "iVBORw0KGgoAAAANSUhEUgAAB2wAAAPo+/";
  std::string s;
  while (s.size() < n) s += unit;
  return s;
}

// Every message parses to what the plain parser makes of it, cut or not.
TEST(ParseMessage, GivesWhatThePlainParserGives) {
  const std::string big = bulk(100000);
  const std::string cases[] = {
      R"({"id":7,"result":{"data":")" + big + R"("},"sessionId":"AB12"})",
      R"({"method":"Page.screencastFrame","params":{"data":")" + big +
          R"(","metadata":{"offsetTop":0,"deviceWidth":1900},"sessionId":3},"sessionId":"S"})",
      // An escape, a byte beyond ASCII, a second "data": the plain way.
      R"({"id":8,"result":{"data":")" + big + R"(\/x"}})",
      R"({"id":9,"result":{"data":")" + big + "\xc3\xa9" + R"("}})",
      R"({"id":10,"result":{"data":")" + big + R"(","data":"second"}})",
      // A lone surrogate beside the bulk is still mended.
      R"({"id":11,"result":{"data":")" + big + R"(","note":"\ud800"}})",
      R"({"id":12,"error":{"code":-32000,"message":")" + big + R"("}})",
      R"({"id":13,"result":{"data":"small"}})",
      R"({"method":"Page.loadEventFired","params":{"timestamp":1.5}})",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 60));
    Json got;
    ASSERT_TRUE(engine::parseMessage(text, got));
    EXPECT_EQ(got, Json::parse(engine::fixLoneSurrogates(text)));
  }
}

// Frames are read off the window thread: only whole frames of a page's
// session; anything else goes the ordinary way.
TEST(ScreencastFrame, ReadsOnlyWholeFramesOfAPage) {
  const std::string big = bulk(100000);
  const std::string head = R"({"method":"Page.screencastFrame","params":{"data":")";
  struct Case {
    std::string text;
    bool read;
    int64_t ack;
    std::string data;
  } cases[] = {
      {head + big + R"(","metadata":{"offsetTop":0},"sessionId":3},"sessionId":"S"})", true, 3, big},
      {head + R"(small","sessionId":41},"sessionId":"P"})", true, 41, "small"},
      {head + big + R"(","sessionId":3}})", false, 0, ""},                  // no page session
      {head + big + R"(","sessionId":"3"},"sessionId":"S"})", false, 0, ""},  // no number to name
      {head + big + R"(","sessionId":3},"sessionId":"S")", false, 0, ""},     // cut off
      {R"({"params":{"data":"x","sessionId":3},"method":"Page.screencastFrame","sessionId":"S"})", false, 0, ""},
      {R"({"method":"Page.screencastFrameX","params":{"data":"x","sessionId":3},"sessionId":"S"})", false, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(c.text.size() > 40 ? c.text.size() - 40 : 0));
    engine::ScreencastFrame f;
    EXPECT_EQ(engine::readScreencastFrame(c.text, f), c.read);
    if (!c.read) continue;
    EXPECT_EQ(f.ack, c.ack);
    EXPECT_EQ(f.data, c.data);
    EXPECT_EQ(Json::parse(engine::screencastAck(9, f)),
              Json::parse(R"({"id":9,"method":"Page.screencastFrameAck","params":{"sessionId":)" +
                          std::to_string(c.ack) + R"(},"sessionId":")" + f.sessionId + R"("})"));
  }
}

TEST(ParseMessage, RefusesWhatIsNotJson) {
  const std::string big = bulk(100000);
  const std::string cases[] = {
      R"({"id":7,"result":{"data":")" + big,                   // cut off in the string
      R"({"id":7,"result":{"data":")" + big + R"("},"x":})",   // broken after it
      R"({"id":7,"result":{"data":")" + big + "\"}",            // an object left open
      "", "{", R"({"id":1,"result":)",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(text.size() > 20 ? text.size() - 20 : 0));
    Json got;
    EXPECT_FALSE(engine::parseMessage(text, got));
  }
}

TEST(ParseMessage, RefusesNestingPastTheLimit) {
  const int limit = engine::kMaxNesting;
  auto nested = [](int depth, const std::string& inner) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += i % 2 ? "[" : R"({"a":)";
    s += inner;
    for (int i = depth; i-- > 0;) s += i % 2 ? "]" : "}";
    return s;
  };
  struct { std::string text; bool ok; } cases[] = {
      {nested(limit, "1"), true},
      {nested(limit + 1, "1"), false},
      {nested(limit, R"("[[{{\"[")"), true},  // brackets in a string, escaped quote
      {nested(200000, "1"), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.size());
    Json got;
    EXPECT_EQ(engine::parseMessage(c.text, got), c.ok);
  }
}

TEST(Base64, DecodesWhatTheEncoderMade) {
  std::string bytes;
  for (uint32_t i = 0; i < 300000; ++i) bytes += static_cast<char>((i * 7919u) >> 3);
  for (size_t cut : {bytes.size(), bytes.size() - 1, bytes.size() - 2}) {
    SCOPED_TRACE(cut);
    const std::string raw = bytes.substr(0, cut);
    std::string back;
    ASSERT_TRUE(engine::base64Decode(engine::base64Encode(raw), back));
    EXPECT_EQ(back, raw);
  }
  // One stray byte anywhere spoils the whole text, and leaves nothing.
  std::string text = engine::base64Encode(bytes);
  for (char stray : {'-', '\0', '=', '\x80'}) {
    SCOPED_TRACE(int(stray));
    std::string bad = text;
    bad[bad.size() / 2] = stray;
    std::string out = "old";
    EXPECT_FALSE(engine::base64Decode(bad, out));
    EXPECT_TRUE(out.empty());
  }
}

}  // namespace
