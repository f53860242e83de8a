#include "engine/base64.h"

#include <cstdint>

namespace engine {
namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}  // namespace

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    uint32_t v = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) | uint8_t(bytes[i + 2]);
    out += kAlphabet[v >> 18]; out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63]; out += kAlphabet[v & 63];
  }
  if (i + 1 == bytes.size()) {
    uint32_t v = uint8_t(bytes[i]) << 16;
    out += kAlphabet[v >> 18]; out += kAlphabet[(v >> 12) & 63]; out += "==";
  } else if (i + 2 == bytes.size()) {
    uint32_t v = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8);
    out += kAlphabet[v >> 18]; out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63]; out += '=';
  }
  return out;
}

namespace {
// Each byte's value in the alphabet, or -1; a table, since screenshots run
// to megabytes of text.
struct Base64Values {
  int8_t v[256];
  constexpr Base64Values() : v() {
    for (int i = 0; i < 256; ++i) v[i] = -1;
    for (int i = 0; i < 64; ++i) v[static_cast<uint8_t>(kAlphabet[i])] = static_cast<int8_t>(i);
  }
};
constexpr Base64Values kBase64Values;
}  // namespace

bool base64Decode(std::string_view text, std::string& out) {
  out.clear();
  const size_t n = text.size();
  if (n % 4 != 0) return false;
  if (n == 0) return true;
  // Padding only in the last group's final two places.
  const size_t pad = text[n - 1] != '=' ? 0 : text[n - 2] != '=' ? 1 : 2;
  out.resize(n / 4 * 3 - pad);
  auto* o = reinterpret_cast<uint8_t*>(out.data());
  const auto* in = reinterpret_cast<const uint8_t*>(text.data());
  for (size_t i = 0; i < n; i += 4) {
    const bool last = i + 4 == n;
    int v[4];
    for (int j = 0; j < 4; ++j) {
      const bool padded = last && j >= 4 - static_cast<int>(pad);
      v[j] = padded ? 0 : kBase64Values.v[in[i + j]];
      if (v[j] < 0) { out.clear(); return false; }
    }
    const uint32_t bits = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | uint32_t(v[3]);
    *o++ = static_cast<uint8_t>(bits >> 16);
    if (!last || pad < 2) *o++ = static_cast<uint8_t>(bits >> 8);
    if (!last || pad < 1) *o++ = static_cast<uint8_t>(bits);
  }
  return true;
}

}  // namespace engine
