#include "engine/keys.h"

#include <gtest/gtest.h>

namespace {

using engine::kModAlt;
using engine::kModCtrl;
using engine::kModShift;

TEST(Keys, NamesWhatTheMessagesSend) {
  struct Case {
    int vk, scan;
    bool extended;
    int mods;
    const char *key, *code;
    int location;
  } cases[] = {
      {'A', 0x1E, false, 0, "a", "KeyA", 0},
      {'A', 0x1E, false, kModShift, "A", "KeyA", 0},
      {'Z', 0x2C, false, kModCtrl, "z", "KeyZ", 0},
      {'1', 0x02, false, kModShift, "!", "Digit1", 0},
      {'0', 0x0B, false, kModShift, ")", "Digit0", 0},
      {'7', 0x08, false, 0, "7", "Digit7", 0},
      {0x0D, 0x1C, false, 0, "Enter", "Enter", 0},
      {0x0D, 0x1C, true, 0, "Enter", "NumpadEnter", 3},
      {0x08, 0x0E, false, 0, "Backspace", "Backspace", 0},
      {0x09, 0x0F, false, kModShift, "Tab", "Tab", 0},
      {0x25, 0x4B, true, 0, "ArrowLeft", "ArrowLeft", 0},
      {0x25, 0x4B, false, 0, "ArrowLeft", "Numpad4", 3},
      {0x24, 0x47, true, kModShift, "Home", "Home", 0},
      {0x23, 0x4F, true, 0, "End", "End", 0},
      {0x2E, 0x53, true, 0, "Delete", "Delete", 0},
      {0x10, 0x2A, false, kModShift, "Shift", "ShiftLeft", 1},
      {0x10, 0x36, false, kModShift, "Shift", "ShiftRight", 2},
      {0x11, 0x1D, false, kModCtrl, "Control", "ControlLeft", 1},
      {0x11, 0x1D, true, kModCtrl, "Control", "ControlRight", 2},
      {0x12, 0x38, true, kModAlt, "Alt", "AltRight", 2},
      {0xBA, 0x27, false, kModShift, ":", "Semicolon", 0},
      {0xDE, 0x28, false, 0, "'", "Quote", 0},
      {0x6B, 0x4E, false, 0, "+", "NumpadAdd", 3},
      {0x63, 0x51, false, 0, "3", "Numpad3", 3},
      {0x70, 0x3B, false, 0, "F1", "F1", 0},
      {0x87, 0x00, false, 0, "F24", "F24", 0},
      {0xE5, 0x00, false, 0, "Process", "", 0},
      {0xFF, 0x00, false, 0, "Unidentified", "", 0},
      {0x88, 0x00, false, 0, "Unidentified", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "vk " << c.vk << " mods " << c.mods);
    engine::KeyName k = engine::nameKey(c.vk, c.scan, c.extended, c.mods);
    EXPECT_EQ(k.key, c.key);
    EXPECT_EQ(k.code, c.code);
    EXPECT_EQ(k.location, c.location);
  }
}

TEST(Keys, ShortcutsAreTheBrowsersEditingCommands) {
  struct Case {
    int vk, mods;
    const char* command;
  } cases[] = {
      {'A', kModCtrl, "selectAll"}, {'C', kModCtrl, "copy"},  {'V', kModCtrl, "paste"},
      {'X', kModCtrl, "cut"},       {'Z', kModCtrl, "undo"},  {'Y', kModCtrl, "redo"},
      {'Z', kModCtrl | kModShift, "redo"},
      {0x2D, kModCtrl, "copy"},     {0x2D, kModShift, "paste"}, {0x2E, kModShift, "cut"},
      // Not shortcuts: plain letters, other Ctrl keys, AltGr (Ctrl+Alt).
      {'A', 0, ""},  {'A', kModShift, ""}, {'B', kModCtrl, ""}, {'V', kModCtrl | kModAlt, ""},
      {'C', kModCtrl | kModShift, ""}, {0x2E, 0, ""}, {0x2D, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "vk " << c.vk << " mods " << c.mods);
    EXPECT_STREQ(engine::shortcutCommand(c.vk, c.mods), c.command);
  }
}

TEST(Keys, CharacterMessagesJoinSurrogatePairs) {
  struct Case {
    std::vector<unsigned> units;
    std::vector<std::string> out;  // what each unit gives
  } cases[] = {
      {{'a'}, {"a"}},
      {{0x4E2D, 0x6587}, {"\xE4\xB8\xAD", "\xE6\x96\x87"}},               // 中文
      {{0xD83D, 0xDE00}, {"", "\xF0\x9F\x98\x80"}},                       // U+1F600
      {{0xD840, 0xDC0B, 'x'}, {"", "\xF0\xA0\x80\x8B", "x"}},             // U+2000B
      {{0xDE00, 'b'}, {"\xEF\xBF\xBD", "b"}},                             // a lone low half
      {{0xD83D, 'c'}, {"", "\xEF\xBF\xBD" "c"}},                          // a high half left waiting
      {{0xD83D, 0xD83D, 0xDE00}, {"", "\xEF\xBF\xBD", "\xF0\x9F\x98\x80"}},
      {{0x10061}, {"a"}},  // only the low 16 bits of a message are a unit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units.size());
    engine::Utf16Joiner j;
    ASSERT_EQ(c.units.size(), c.out.size());
    for (size_t i = 0; i < c.units.size(); ++i) EXPECT_EQ(j.push(c.units[i]), c.out[i]) << i;
  }
  EXPECT_EQ(engine::utf16ToUtf8(u"\u4E2D\U0001F600"), "\xE4\xB8\xAD\xF0\x9F\x98\x80");
  EXPECT_EQ(engine::utf16ToUtf8(std::u16string(1, u'\xD83D')), "\xEF\xBF\xBD");
  EXPECT_EQ(engine::utf16ToUtf8(u""), "");
}

TEST(Keys, CursorKeywordsBecomeSystemCursors) {
  struct Case {
    const char* css;
    int id;
  } cases[] = {
      {"pointer", 32649}, {"text", 32513},   {"default", 32512}, {"auto", 32512},
      {"wait", 32514},    {"crosshair", 32515}, {"ns-resize", 32645}, {"col-resize", 32644},
      {"not-allowed", 32648}, {"none", 0}, {"", 32512}, {"pointe", 32512}, {"pointer2", 32512},
      {"resize", 32512},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.css);
    EXPECT_EQ(engine::cursorId(c.css), c.id);
  }
}

}  // namespace
