#include "engine/script.h"

#include <gtest/gtest.h>

namespace {

using nlohmann::json;

TEST(ScriptResult, ReadsTextAndNumber) {
  struct { const char* reply; bool ok; const char* text; int32_t number; } cases[] = {
      {R"({"result":{"type":"object","value":{"t":"hello","n":"NaN"}}})", true, "hello", 0},
      {R"({"result":{"type":"object","value":{"t":"42","n":"42.9"}}})", true, "42", 42},
      {R"({"result":{"type":"object","value":{"t":"-7.5px","n":"-7.5"}}})", true, "-7.5px", -7},
      {R"({"result":{"type":"object","value":{"t":"1e12","n":"1000000000000"}}})", true, "1e12", INT32_MAX},
      {R"({"result":{"type":"object","value":{"t":"","n":"-Infinity"}}})", true, "", INT32_MIN},
      {R"({"result":{"type":"object","value":{"t":"true","n":"1"}}})", true, "true", 1},
      {R"({"result":{"type":"undefined"},"exceptionDetails":{"text":"Uncaught",)"
       R"("exception":{"description":"ReferenceError: x is not defined"}}})", false, "", 0},
      {R"({"result":{"type":"string","value":"raw"}})", false, "", 0},
      {R"({"result":{"type":"object","value":{"t":5,"n":"5"}}})", false, "", 0},
      {R"({})", false, "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    auto r = engine::readScriptResult(json::parse(c.reply));
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.number, c.number);
    EXPECT_EQ(r.error.empty(), c.ok);
  }
  auto r = engine::readScriptResult(json::parse(
      R"({"exceptionDetails":{"exception":{"description":"ReferenceError: x is not defined"}}})"));
  EXPECT_EQ(r.error, "ReferenceError: x is not defined");
}

TEST(ScriptResult, ClampsToInt32) {
  struct { double in; int32_t out; } cases[] = {
      {0.0, 0}, {-0.0, 0}, {2.99, 2}, {-2.99, -2}, {2147483647.0, INT32_MAX},
      {2147483648.5, INT32_MAX}, {-2147483648.0, INT32_MIN}, {-1e300, INT32_MIN},
      {std::nan(""), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(engine::toInt32(c.in), c.out);
  }
}

TEST(Script, WrapsBodyEndingInAComment) {
  std::string s = engine::wrapFunctionBody("return 1 // done");
  // The comment must not swallow the closing of the function.
  EXPECT_NE(s.find("return 1 // done\n})()"), std::string::npos);
}

TEST(LoneSurrogates, AreReplacedSoTheMessageParses) {
  struct { const char* in; const char* out; } cases[] = {
      {R"({"a":"\ud800"})", R"({"a":"\ufffd"})"},
      {R"({"a":"x\udc00y"})", R"({"a":"x\ufffdy"})"},
      {R"({"a":"\ud83d\ude00"})", R"({"a":"\ud83d\ude00"})"},
      {R"({"a":"\ud83d\u0041"})", R"({"a":"\ufffd\u0041"})"},
      {R"({"a":"\\ud800"})", R"({"a":"\\ud800"})"},
      {R"({"a":"\ud800)", R"({"a":"\ufffd)"},
      {R"({"a":"\u00e9"})", R"({"a":"\u00e9"})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(engine::fixLoneSurrogates(c.in), c.out);
  }
  EXPECT_NO_THROW(json::parse(engine::fixLoneSurrogates(R"({"a":"\udfff\ud800"})")));
}

TEST(JsonQuote, ReplacesInvalidUtf8) {
  EXPECT_EQ(engine::jsonQuote("a\"b"), R"("a\"b")");
  EXPECT_EQ(engine::jsonQuote("\xff"), "\"\xef\xbf\xbd\"");
}

}  // namespace
