// FindText and MidText over texts on the runtime heap, where what is known
// of a text's length carries from one call to the next.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/core_commands.h"
#include "runtime/runtime.h"
#include "runtime/text_length_cache.h"

namespace {

rt::Value text(const char* s) { rt::Value v{}; v.text = s; v.tag = rt::kTagText; return v; }
rt::Value integer(int32_t i) { rt::Value v{}; v.i = i; v.tag = rt::kTagInt; return v; }

int32_t find(const char* t, const char* u, int32_t start) {
  rt::Value args[] = {text(t), text(u), integer(start)};
  rt::Value r{};
  core::FindText(&r, 3, args);
  return r.i;
}

std::string mid(const char* t, int32_t start, int32_t count) {
  rt::Value args[] = {text(t), integer(start), integer(count)};
  rt::Value r{};
  core::MidText(&r, 3, args);
  std::string s = r.text ? r.text : "<null>";
  rt::freeMemory(const_cast<char*>(r.text));
  return s;
}

// The search by its rule, written out plainly: from the start offset, one
// character (two bytes after a lead byte 0x81-0xFE) at a time.
int32_t plainFind(const std::string& t, const std::string& u, int32_t start) {
  size_t p = start > 1 ? size_t(start) - 1 : 0;
  if (p >= t.size()) return -1;
  while (p + u.size() <= t.size()) {
    if (t.compare(p, u.size(), u) == 0) return int32_t(p + 1);
    const auto c = static_cast<unsigned char>(t[p]);
    if (c >= 0x81 && c <= 0xFE) {
      if (p + 1 >= t.size()) break;
      p += 2;
    } else {
      ++p;
    }
  }
  return -1;
}

// Double-byte characters whose trail bytes spell the marker's bytes, so a
// search that lost its character boundaries would find false matches.
std::string gbkPage() {
  std::string s;
  for (int i = 0; i < 400; ++i) {
    s += "\xB0\x61\xB1\x62";   // two characters with trail bytes 'a' and 'b'
    s += (i % 7 == 0) ? "ab" : "x";
    s += "\xD6\xD0\xCE\xC4";   // 中文
    if (i % 5 == 0) s += "\x81";  // a lead byte that shifts what follows
  }
  return s;
}

TEST(TextReach, RepeatedSearchesMatchThePlainRule) {
  const std::string page = gbkPage();
  char* t = rt::newText(page);
  ASSERT_NE(t, nullptr);
  // Walk forward as a loop over markers does, then jump around, then past
  // the end: every answer as the plain rule gives it.
  std::vector<int32_t> starts;
  for (int32_t at = 1; at > 0 && at <= int32_t(page.size());) {
    starts.push_back(at);
    const int32_t hit = plainFind(page, "ab", at);
    at = hit < 0 ? -1 : hit + 1;
  }
  for (int32_t s : {int32_t(page.size()), 2, int32_t(page.size()) + 1, 900, 3, 1, 901, 0, -4})
    starts.push_back(s);
  for (int32_t s : starts) {
    SCOPED_TRACE(s);
    EXPECT_EQ(find(t, "ab", s), plainFind(page, "ab", s));
    EXPECT_EQ(find(t, "\xCE\xC4", s), plainFind(page, "\xCE\xC4", s));
    const size_t p = size_t(s > 0 ? s - 1 : 0);
    EXPECT_EQ(mid(t, s, 3), s < 1 || p >= page.size() ? "<null>" : page.substr(p, 3));
  }
  rt::freeMemory(t);
}

// A long text is searched far in, freed, and a short one takes its place;
// asked as far in again, the short one must answer for its own length.
TEST(TextReach, FreedTextIsMeasuredAfresh) {
  const std::string longText(5000, 'a');
  for (int round = 0; round < 20; ++round) {
    char* t = rt::newText(longText + "b");
    ASSERT_EQ(find(t, "b", 4000), 5001);
    void* old = t;
    rt::freeMemory(t);
    char* s = static_cast<char*>(rt::allocMemory(5002));
    std::memcpy(s, "ab", 3);
    SCOPED_TRACE(s == old ? "same address" : "other address");
    EXPECT_EQ(find(s, "b", 4000), -1);
    EXPECT_EQ(mid(s, 4000, 5), "<null>");
    EXPECT_EQ(find(s, "b", 1), 2);
    rt::freeMemory(s);
  }
}

// Resizing a block, and a DLL function writing into it, both change what
// the text holds.
TEST(TextReach, ResizedOrWrittenTextIsMeasuredAfresh) {
  char* t = rt::newText(std::string(3000, 'x') + "y");
  ASSERT_EQ(find(t, "y", 2500), 3001);
  t = static_cast<char*>(rt::reallocMemory(t, 3002));
  t[10] = 0;
  EXPECT_EQ(find(t, "y", 2500), -1);
  EXPECT_EQ(mid(t, 20, 1), "<null>");

  std::memset(t, 'x', 3000);
  t[3000] = 'y';
  ASSERT_EQ(find(t, "y", 2500), 3001);
  t[5] = 0;  // as a DLL function handed the text might
  ++paginetTextEpoch;
  EXPECT_EQ(find(t, "y", 2500), -1);
  EXPECT_EQ(mid(t, 6, 1), "<null>");
  EXPECT_EQ(mid(t, 5, 1), "x");
  rt::freeMemory(t);
}

}  // namespace
