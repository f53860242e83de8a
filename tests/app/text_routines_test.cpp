// The text routines through a service table whose command entry calls the
// real core commands, as the runtime's does.
#include <gtest/gtest.h>
#include <string>
#include "app/command_frame.h"
#include "app/text_routines.h"
#include "runtime/runtime.h"

namespace {

rt::Value RT_CALL callCommand(rt::CommandFn fn, int32_t argc, rt::Value* args) {
  rt::Value result{};
  fn(&result, argc, args);
  return result;
}
rt::Value RT_CALL callLibrary(int32_t, rt::CommandFn fn, int32_t argc, rt::Value* args) {
  return callCommand(fn, argc, args);
}
void RT_CALL freeBlock(void* p) { rt::freeMemory(p); }
void* RT_CALL allocBlock(uint32_t size) { return rt::allocMemory(size); }

rt::ServiceTable makeServices() {
  rt::ServiceTable s{};
  s.callLibraryCommand = callLibrary;
  s.callCoreCommand = callCommand;
  s.freeMemory = freeBlock;
  s.allocMemory = allocBlock;
  return s;
}
const rt::ServiceTable kServices = makeServices();

class TextRoutines : public ::testing::Test {
 protected:
  void SetUp() override { app::gServices = &kServices; }
  // Takes ownership of a result text.
  static std::string take(char* t) {
    std::string s = t ? t : "";
    rt::freeMemory(t);
    return s;
  }
};

const char kSource[] =
    "<html><head><title>2024-Math高三数学期末考试试卷及参考答案解析</title>"
    "<style>.a{z-index:1}</style></head><body><div id=\"qr-body\" style=\"z-index: 12;\">"
    "<p style=\"z-index: 7;\"></p></div></body></html>";

TEST_F(TextRoutines, CutsTitleAndFirstZIndexOutOfAPageSource) {
  EXPECT_EQ(take(app::TextBetween(kSource, "<title>", "<")),
            "2024-Math高三数学期末考试试卷及参考答案解析");
  EXPECT_EQ(take(app::TextBetween(kSource, "z-index: ", ";")), "12");
  EXPECT_EQ(take(app::TextBetween("<p style=\"z-index:1\">", "z-index: ", ";")), "");
  EXPECT_EQ(take(app::TextBetween("z-index: 5", "z-index: ", ";")), "");
  EXPECT_EQ(take(app::TextBetween("", "<title>", "<")), "");
}

TEST_F(TextRoutines, QuoteNameInADelimiterMatchesADoubleQuote) {
  EXPECT_EQ(take(app::TextBetween(kSource, "id=#引号", "#引号")), "qr-body");
  EXPECT_EQ(take(app::TextBetween("say \"hi\" now", "#引号", "#引号")), "hi");
}

TEST_F(TextRoutines, StartPositionAndCaseFolding) {
  // From byte 60 on, the first "z-index: " is the second declaration.
  const std::string s = "z-index: 1; xxxxxxxxxx Z-INDEX: 2; z-index: 3;";
  EXPECT_EQ(take(app::TextBetween(s.c_str(), "z-index: ", ";", 5)), "3");
  EXPECT_EQ(take(app::TextBetween(s.c_str(), "z-index: ", ";", 5, true)), "2");
}

TEST_F(TextRoutines, LeftCharsKeepsDoubleByteCharactersWhole) {
  const std::string title = take(app::TextBetween(kSource, "<title>", "<"));
  const std::string prefix = take(app::LeftChars(title.c_str(), 20));
  EXPECT_EQ(prefix.size(), 31u);
  EXPECT_EQ(prefix, "2024-Math高三数学期末考试试卷及");

  std::string wide;
  for (int i = 0; i < 25; ++i) wide += "卷";
  EXPECT_EQ(take(app::LeftChars(wide.c_str(), 20)), wide.substr(0, 40));
}

TEST_F(TextRoutines, LeftCharsOfShortTextsIsEmpty) {
  EXPECT_EQ(take(app::LeftChars("0123456789", 20)), "");
  EXPECT_EQ(take(app::LeftChars("0123456789", 0)), "");
  EXPECT_EQ(take(app::LeftChars("0123456789", -3)), "");
  EXPECT_EQ(take(app::LeftChars("试卷", 20)), "");   // 4 bytes
  EXPECT_EQ(take(app::LeftChars("0123456789", 10)), "0123456789");
}

TEST_F(TextRoutines, CharBytesWithFewerCharactersThanBytesStaysInsideTheText) {
  // 6 bytes, 3 characters: n = 5 is within the byte length.
  EXPECT_EQ(app::CharBytes("试卷ab", 5), 6);
  EXPECT_EQ(app::CharBytes("试卷ab", 3), 5);
  EXPECT_EQ(app::CharBytes("试卷ab", 7), -1);
  EXPECT_EQ(app::CharBytes("试卷ab", -1), -1);
  EXPECT_EQ(app::CharBytes("试卷ab", 0), 0);
  // A lead byte whose second byte is missing is not counted.
  EXPECT_EQ(app::CharBytes("ab\xC4", 3), 2);
  EXPECT_EQ(take(app::LeftChars("ab\xC4", 3)), "ab");
}

TEST_F(TextRoutines, CharWidthAt) {
  EXPECT_EQ(app::CharWidthAt("a试", 1), 1);
  EXPECT_EQ(app::CharWidthAt("a试", 2), 2);
  EXPECT_EQ(app::CharWidthAt("a试", 4), -1);
}

// GBK's lead bytes run from 0x81 to 0xFE, so a title with a character led
// by 0x81-0xA0 is never cut in half; 0x80 and 0xFF stand alone.
TEST_F(TextRoutines, CharWidthAtLeadBytesFrom0x81) {
  struct Case { const char* text; int32_t want; } cases[] = {
      {"\x80" "A", 1}, {"\x81\x40", 2}, {"\x95\xA8", 2}, {"\xA0\xA1", 2},
      {"\xA1\xA1", 2}, {"\xFE\xFE", 2}, {"\xFF" "A", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(app::CharWidthAt(c.text, 1), c.want);
  }
  // Two characters led by 0x81-0xA0: the first one whole, never a byte of the second.
  EXPECT_EQ(take(app::LeftChars("\x81\x40\x95\xA8", 1)), "\x81\x40");
}

// Empty texts are null pointers; joining them adds nothing.
TEST_F(TextRoutines, ConcatTextTakesNullPartsAsEmpty) {
  EXPECT_EQ(take(app::concatText({"pic\\", nullptr, "1.bmp"})), "pic\\1.bmp");
  EXPECT_EQ(take(app::concatText({nullptr, "a"})), "a");
  EXPECT_EQ(app::concatText({nullptr, ""}), nullptr);
}

}  // namespace
