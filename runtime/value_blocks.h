// Texts and byte-sets as heap blocks: the byte-set layout, and the one way
// to build either. The builders take the allocator the caller reaches the
// runtime heap by (the runtime's own, notification 2024, the service table).
#pragma once
#include <cstdint>
#include <cstring>
#include <string_view>

namespace rt {

// A byte-set block: dimension count 1, element count n, then the n bytes.
constexpr uint32_t kByteSetHeader = 8;

inline uint32_t byteSetSize(const uint8_t* b) {
  uint32_t n = 0;
  if (b) std::memcpy(&n, b + 4, sizeof n);
  return n;
}
inline const uint8_t* byteSetData(const uint8_t* b) { return b ? b + kByteSetHeader : nullptr; }
inline uint8_t* byteSetData(uint8_t* b) { return b ? b + kByteSetHeader : nullptr; }
inline std::string_view byteSetBytes(const uint8_t* b) {
  return {reinterpret_cast<const char*>(byteSetData(b)), byteSetSize(b)};
}
inline std::string_view textOf(const char* t) { return t ? std::string_view(t) : std::string_view(); }

// A new text holding s; null for the empty text or when alloc gives null.
template <class Alloc>
char* buildText(std::string_view s, Alloc alloc) {
  if (s.empty() || s.size() >= UINT32_MAX) return nullptr;
  auto* t = static_cast<char*>(alloc(uint32_t(s.size() + 1)));
  if (!t) return nullptr;
  std::memcpy(t, s.data(), s.size());
  t[s.size()] = 0;
  return t;
}

// A new byte-set of n bytes copied from data, or zeroed when data is null;
// null for 0 bytes, for a size the 32-bit header cannot count, or when
// alloc gives null.
template <class Alloc>
uint8_t* buildByteSet(const void* data, uint32_t n, Alloc alloc) {
  if (n == 0 || n > UINT32_MAX - kByteSetHeader) return nullptr;
  auto* b = static_cast<uint8_t*>(alloc(n + kByteSetHeader));
  if (!b) return nullptr;
  const uint32_t head[2] = {1, n};
  std::memcpy(b, head, sizeof head);
  if (data) std::memcpy(b + kByteSetHeader, data, n);
  else std::memset(b + kByteSetHeader, 0, n);
  return b;
}

}  // namespace rt
