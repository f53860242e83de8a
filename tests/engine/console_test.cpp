#include "engine/console.h"

#include <gtest/gtest.h>

namespace {

using engine::Json;

// Parameters as Chromium sends them for console.warn('low', 3) on line 12.
const char kWarn[] = R"({"type":"warning","args":[{"type":"string","value":"low"},{"type":"number","value":3,
  "description":"3"}],"executionContextId":1,"timestamp":1.5,"stackTrace":{"callFrames":[
  {"functionName":"check","scriptId":"9","url":"http://127.0.0.1:8000/a.js","lineNumber":11,"columnNumber":8},
  {"functionName":"","scriptId":"9","url":"http://127.0.0.1:8000/a.js","lineNumber":20,"columnNumber":0}]}})";

TEST(Console, CallCarriesLevelLineAndSource) {
  engine::ConsoleLine c = engine::readConsoleCall(Json::parse(kWarn));
  EXPECT_EQ(c.level, engine::kConsoleWarning);
  EXPECT_EQ(c.message, "low 3");
  EXPECT_EQ(c.source, "http://127.0.0.1:8000/a.js");
  EXPECT_EQ(c.line, 12);
  EXPECT_EQ(c.stack, "check (http://127.0.0.1:8000/a.js:12:9)\n(anonymous) (http://127.0.0.1:8000/a.js:21:1)");

  struct Case {
    const char* type;
    int level;
  } levels[] = {{"log", 1}, {"warning", 2}, {"error", 3}, {"assert", 3}, {"debug", 4}, {"info", 5},
                {"dir", 1}, {"", 1}};
  for (const auto& l : levels) {
    SCOPED_TRACE(l.type);
    EXPECT_EQ(engine::readConsoleCall(Json{{"type", l.type}}).level, l.level);
  }
}

TEST(Console, ObjectsAndOddShapesGiveText) {
  Json p = Json::parse(R"({"type":"log","args":[{"type":"object","className":"Object","description":"Object"},
    {"type":"undefined"},{"type":"string","value":"\u4e2d\u6587"},7],"stackTrace":{"callFrames":"none"}})");
  engine::ConsoleLine c = engine::readConsoleCall(p);
  EXPECT_EQ(c.message, "Object undefined \xe4\xb8\xad\xe6\x96\x87 ");  // UTF-8 of the escapes
  EXPECT_EQ(c.line, 0);
  EXPECT_EQ(c.source, "");
  // Wrongly typed fields read as missing, not as a failure.
  c = engine::readConsoleCall(Json::parse(
      R"({"type":5,"args":{},"stackTrace":{"callFrames":[{"url":1,"lineNumber":"x","functionName":null}]}})"));
  EXPECT_EQ(c.level, engine::kConsoleLog);
  EXPECT_EQ(c.line, 0);
  EXPECT_EQ(c.stack, "(anonymous) (:0:0)");
  EXPECT_EQ(engine::readConsoleCall(Json::array()).message, "");
}

TEST(Console, ExceptionIsAnErrorWithItsPlace) {
  Json p = Json::parse(R"({"timestamp":1,"exceptionDetails":{"exceptionId":1,"text":"Uncaught",
    "lineNumber":4,"columnNumber":2,"url":"http://h/p.html",
    "exception":{"type":"object","subtype":"error","description":"TypeError: x is not a function\n    at p.html:5:3"}}})");
  engine::ConsoleLine c = engine::readException(p);
  EXPECT_EQ(c.level, engine::kConsoleError);
  EXPECT_EQ(c.message, "TypeError: x is not a function\n    at p.html:5:3");
  EXPECT_EQ(c.source, "http://h/p.html");
  EXPECT_EQ(c.line, 5);
  // A thrown string has no description: the details' text stands in.
  c = engine::readException(Json::parse(R"({"exceptionDetails":{"text":"Uncaught boom","lineNumber":0}})"));
  EXPECT_EQ(c.message, "Uncaught boom");
  EXPECT_EQ(c.line, 1);
  EXPECT_EQ(engine::readException(Json::object()).message, "");
}

}  // namespace
