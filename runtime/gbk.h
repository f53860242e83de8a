// GBK text, the runtime's text everywhere: which bytes lead a two-byte
// character, and (Windows only) the conversions to and from the UTF-16 of
// the W functions, always through code page 936 whatever the process's
// ANSI code page is.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace rt {

// Bytes 0x81-0xFE start a two-byte character; every other byte stands alone.
inline bool isGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
// Bytes 0x40-0xFE but 0x7F can end one.
inline bool isGbkTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// 2 for a lead byte at `at` followed by a trail byte, else 1 (a lead byte
// without its second byte is a character of its own).
inline size_t gbkCharWidth(std::string_view text, size_t at) {
  return at < text.size() && at + 1 < text.size() && isGbkLeadByte(text[at]) && isGbkTrailByte(text[at + 1]) ? 2 : 1;
}

// Bytes of the text's first n characters (all of it when it has fewer),
// never splitting a character. A lone lead byte where the cut ends is left
// out: whatever comes after the cut text would pair with it, a path's "\"
// among them.
inline size_t gbkCutLength(std::string_view text, size_t n) {
  size_t at = 0, last = 0;
  for (size_t chars = 0; chars < n && at < text.size(); ++chars) {
    last = at;
    at += gbkCharWidth(text, at);
  }
  return at > 0 && at - last == 1 && isGbkLeadByte(text[last]) ? last : at;
}

#ifdef _WIN32
// Empty for empty input or bytes code page 936 cannot convert at all.
std::wstring gbkToWide(std::string_view gbk);
// Characters GBK lacks become "?".
std::string wideToGbk(std::wstring_view wide);
#endif

}  // namespace rt
