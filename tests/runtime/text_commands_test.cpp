#include <gtest/gtest.h>
#include "runtime/core_commands.h"
#include "tests/runtime/commands_fake_runtime.h"

using fake::call;
using fake::integer;
using fake::logical;
using fake::omitted;
using fake::takeText;
using fake::text;

TEST(TextCommands, TextLengthCountsBytes) {
  EXPECT_EQ(call(core::TextLength, {text("中文a")}).i, 5);
  EXPECT_EQ(call(core::TextLength, {text("")}).i, 0);
  EXPECT_EQ(call(core::TextLength, {integer(7)}).i, 0);
}

TEST(TextCommands, LeftAndMid) {
  struct Case { rt::CommandFn fn; std::vector<rt::Value> args; const char* want; } cases[] = {
      {core::LeftText, {text("abc"), integer(0)}, "<null>"},
      {core::LeftText, {text("abc"), integer(-3)}, "<null>"},
      {core::LeftText, {text("abc"), integer(2)}, "ab"},
      {core::LeftText, {text("abc"), integer(99)}, "abc"},
      {core::LeftText, {text("中"), integer(1)}, "\xD6"},  // byte cut splits a character
      {core::MidText, {text("abcd"), integer(0), integer(2)}, "<null>"},
      {core::MidText, {text("abcd"), integer(4), integer(1)}, "d"},
      {core::MidText, {text("abcd"), integer(4), integer(9)}, "d"},
      {core::MidText, {text("abcd"), integer(5), integer(1)}, "<null>"},
      {core::MidText, {text("abcd"), integer(2), integer(2)}, "bc"},
      {core::MidText, {text("abcd"), integer(2), integer(0)}, "<null>"},
      {core::MidText, {text("abcd"), integer(-2147483647 - 1), integer(2)}, "<null>"},
      {core::MidText, {text("abcd"), integer(2), integer(2147483647)}, "bcd"},
      {core::MidText, {integer(5), integer(1), integer(1)}, "<null>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    rt::Value r{};
    std::vector<rt::Value> a = c.args;
    c.fn(&r, int32_t(a.size()), a.data());
    EXPECT_EQ(takeText(r), c.want);
  }
}

TEST(TextCommands, FindText) {
  struct Case { const char* t; const char* u; rt::Value start; rt::Value fold; int32_t want; } cases[] = {
      {"abc", "", omitted(), omitted(), 1},
      {"", "", omitted(), omitted(), -1},
      {"", "a", omitted(), omitted(), -1},
      {"abc", "c", omitted(), omitted(), 3},
      {"abc", "c", integer(4), omitted(), -1},
      {"abc", "", integer(4), omitted(), -1},
      {"abc", "a", integer(-5), omitted(), 1},
      {"abcabc", "abc", integer(2), omitted(), 4},
      {"abcd", "cde", omitted(), omitted(), -1},
      // 0x81 0x41 is one character whose trail byte is "A".
      {"\x81" "A", "A", omitted(), omitted(), -1},
      {"\x81" "AA", "A", omitted(), omitted(), 3},
      {"\x81" "AA", "A", integer(2), omitted(), 2},  // boundaries count from the start
      {"\x81" "Ab", "Ab", omitted(), omitted(), -1},
      {"x\x81", "\x81", omitted(), omitted(), 2},     // lone lead byte at the end
      // 0x80 and 0xFF are no GBK lead bytes: the byte after them is a character.
      {"\x80" "A", "A", omitted(), omitted(), 2},
      {"\xFF" "A", "A", omitted(), omitted(), 2},
      {"aBC", "bc", omitted(), omitted(), -1},
      {"aBC", "bc", omitted(), logical(true), 2},
      {"aBC", "bc", omitted(), integer(2), -1},       // only exactly 1 folds
      {"\xC4\xE3", "\xE4\xE3", omitted(), logical(true), -1},  // no folding beyond ASCII
      {"中文中文", "文", omitted(), omitted(), 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.t) + " / " + c.u);
    EXPECT_EQ(call(core::FindText, {text(c.t), text(c.u), c.start, c.fold}).i, c.want);
  }
}

TEST(TextCommands, FindTextRejectsWrongTypes) {
  EXPECT_EQ(call(core::FindText, {integer(1), text("a")}).i, 0);
  EXPECT_EQ(call(core::FindText, {text("a"), text("a"), text("x")}).i, 0);
  EXPECT_EQ(call(core::FindText, {text("a")}).i, 0);
}

TEST(TextCommands, ReplaceText) {
  struct Case { const char* t; const char* u; rt::Value r, start, count, matchCase; const char* want; } cases[] = {
      {"abcabc", "b", text("X"), omitted(), omitted(), omitted(), "aXcaXc"},
      {"abcabc", "b", text("X"), omitted(), integer(1), omitted(), "aXcabc"},
      {"abab", "ab", text("X"), integer(3), omitted(), omitted(), "abX"},
      {"abab", "ab", text("X"), integer(-4), omitted(), omitted(), "XX"},
      {"aBc", "b", text("X"), omitted(), omitted(), omitted(), "aXc"},
      {"aBc", "b", text("X"), omitted(), omitted(), logical(true), "aBc"},
      {"abc", "b", omitted(), omitted(), omitted(), omitted(), "ac"},
      {"abc", "", text("X"), omitted(), omitted(), omitted(), "abc"},
      {"", "a", text("X"), omitted(), omitted(), omitted(), "<null>"},
      {"abc", "b", text("X"), integer(4), omitted(), omitted(), "abc"},
      {"abc", "b", text("X"), omitted(), integer(0), omitted(), "abc"},
      {"bbbb", "b", text("X"), omitted(), integer(-7), omitted(), "XXXX"},
      {"b", "b", text(""), omitted(), omitted(), omitted(), "<null>"},
      {"aaa", "aa", text("a"), omitted(), omitted(), omitted(), "aa"},
      {"\x81" "AA", "A", text("x"), omitted(), omitted(), omitted(), "\x81" "Ax"},
      // A lone lead byte at the end is kept, not dropped.
      {"a\x81", "a", text(""), omitted(), omitted(), omitted(), "\x81"},
      {"中文中", "中", text("ab"), omitted(), integer(5), omitted(), "ab文ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.t) + " / " + c.u);
    EXPECT_EQ(takeText(call(core::ReplaceText, {text(c.t), text(c.u), c.r, c.start, c.count, c.matchCase})),
              c.want);
  }
}

TEST(TextCommands, ReplaceTextRejectsWrongTypes) {
  EXPECT_EQ(takeText(call(core::ReplaceText, {text("abc"), integer(1)})), "<null>");
  EXPECT_EQ(takeText(call(core::ReplaceText, {text("abc"), text("b"), integer(1)})), "<null>");
  EXPECT_EQ(fake::liveBlocks, 0);
}
