#include "browser/utf8.h"

namespace web {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The range the second byte must fall in after lead byte b; later bytes are
// always 80..BF. Zero length: b cannot lead a sequence.
struct Lead {
  int length;
  unsigned char low, high;
};

Lead leadOf(unsigned char b) {
  if (b < 0x80) return {1, 0, 0};
  if (b < 0xC2) return {0, 0, 0};  // continuation byte, or the overlong C0/C1
  if (b < 0xE0) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};  // ED A0.. would be a surrogate
  if (b < 0xF0) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b < 0xF4) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};  // past U+10FFFF otherwise
  return {0, 0, 0};
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    const Lead lead = leadOf(b);
    if (lead.length == 1) {
      out.push_back(char16_t(b));
      ++i;
      continue;
    }
    if (lead.length == 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t c = b & (0xFF >> (lead.length + 1));
    size_t k = 1;
    for (; k < size_t(lead.length) && i + k < n; ++k) {
      const unsigned char lo = k == 1 ? lead.low : 0x80, hi = k == 1 ? lead.high : 0xBF;
      if (s[i + k] < lo || s[i + k] > hi) break;
      c = c << 6 | (s[i + k] & 0x3F);
    }
    i += k;
    if (k < size_t(lead.length)) {
      out.push_back(kReplacement);  // cut short: the bytes read so far are one piece
    } else if (c < 0x10000) {
      out.push_back(char16_t(c));
    } else {
      c -= 0x10000;
      out.push_back(char16_t(0xD800 | c >> 10));
      out.push_back(char16_t(0xDC00 | (c & 0x3FF)));
    }
  }
  return out;
}

}  // namespace web
