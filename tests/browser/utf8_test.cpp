#include <gtest/gtest.h>

#include <string>

#include "browser/utf8.h"

namespace {

struct Case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
};

template <size_t N>
void expectDecodes(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(web::utf8ToUtf16(c.utf8), c.utf16);
  }
}

TEST(Utf8, WellFormedTextDecodes) {
  const Case cases[] = {
      {"empty", "", u""},
      {"ascii", "a<b>", u"a<b>"},
      {"two bytes", "\xC2\x80\xDF\xBF", u"\u0080\u07FF"},
      {"three bytes", "\xE4\xB8\x8B\xE8\xBD\xBD\xEF\xBF\xBD", u"下载\uFFFD"},
      {"edges of the surrogate gap", "\xED\x9F\xBF\xEE\x80\x80", u"\uD7FF\uE000"},
      {"four bytes", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\U00010000\U0010FFFF"},
      {"embedded zero", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  expectDecodes(cases);
}

// One U+FFFD for each maximal piece that could still have begun a character.
TEST(Utf8, EachIllFormedPieceIsOneReplacement) {
  const Case cases[] = {
      {"stray continuations", "\x80\xBF", u"\uFFFD\uFFFD"},
      {"overlong leads", "\xC0\xAF\xC1\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"cut at the end", "a\xE4\xB8", u"a\uFFFD"},
      {"cut by ascii", "\xF0\x9F\x98" "b", u"\uFFFDb"},
      {"Unicode's example", "a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d",
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
  };
  expectDecodes(cases);
}

}  // namespace
