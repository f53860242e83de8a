// The UTF-8 decoder against a reference built a different way: every code
// point's encoding, in order (UTF-8 keeps code point order), searched for the
// longest piece of the input that begins some encoding. A whole encoding is
// its character; a shorter piece is one U+FFFD, and so is a byte that begins
// nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "browser/utf8.h"

namespace {

struct Encoding {
  uint32_t key;  // the bytes, first byte highest, zero-padded to four
  int length;
  char32_t c;
};

std::vector<Encoding> allEncodings() {
  std::vector<Encoding> all;
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    uint8_t b[4];
    int n;
    if (c < 0x80) {
      b[0] = uint8_t(c), n = 1;
    } else if (c < 0x800) {
      b[0] = uint8_t(0xC0 | c >> 6), b[1] = uint8_t(0x80 | (c & 0x3F)), n = 2;
    } else if (c < 0x10000) {
      b[0] = uint8_t(0xE0 | c >> 12), b[1] = uint8_t(0x80 | (c >> 6 & 0x3F));
      b[2] = uint8_t(0x80 | (c & 0x3F)), n = 3;
    } else {
      b[0] = uint8_t(0xF0 | c >> 18), b[1] = uint8_t(0x80 | (c >> 12 & 0x3F));
      b[2] = uint8_t(0x80 | (c >> 6 & 0x3F)), b[3] = uint8_t(0x80 | (c & 0x3F)), n = 4;
    }
    uint32_t key = 0;
    for (int i = 0; i < 4; ++i) key = key << 8 | (i < n ? b[i] : 0);
    all.push_back({key, n, c});
  }
  if (!std::is_sorted(all.begin(), all.end(), [](auto& a, auto& b) { return a.key < b.key; }))
    std::abort();
  return all;
}

const std::vector<Encoding>& encodings() {
  static const std::vector<Encoding> all = allEncodings();
  return all;
}

// An encoding whose first k bytes are p[0..k), if any. The length check keeps
// the zero padding of a shorter key from matching real NUL bytes.
const Encoding* startingWith(const uint8_t* p, int k) {
  uint32_t key = 0;
  for (int i = 0; i < 4; ++i) key = key << 8 | (i < k ? p[i] : 0);
  const uint32_t mask = ~0u << (32 - 8 * k);
  const auto& all = encodings();
  auto it = std::lower_bound(all.begin(), all.end(), key,
                             [](const Encoding& e, uint32_t v) { return e.key < v; });
  return it != all.end() && (it->key & mask) == key && it->length >= k ? &*it : nullptr;
}

std::u16string reference(const uint8_t* s, size_t n) {
  std::u16string out;
  for (size_t i = 0; i < n;) {
    const Encoding* e = nullptr;
    int k = 0;
    while (k < 4 && i + k < n) {
      const Encoding* next = startingWith(s + i, k + 1);
      if (!next) break;
      e = next, ++k;
    }
    if (e && e->length == k) {
      if (e->c < 0x10000) {
        out.push_back(char16_t(e->c));
      } else {
        out.push_back(char16_t(0xD800 + ((e->c - 0x10000) >> 10)));
        out.push_back(char16_t(0xDC00 + ((e->c - 0x10000) & 0x3FF)));
      }
    } else {
      out.push_back(0xFFFD);
    }
    i += std::max(k, 1);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string got = web::utf8ToUtf16({reinterpret_cast<const char*>(data), size});
  if (got.size() > size || got != reference(data, size)) std::abort();
  return 0;
}
