// Bounded little-endian reading and writing, for every stored format.
// A read or write that does not fit touches nothing outside its span,
// yields 0 or empty and latches `bad`, so a parser checks once at the end.
// Header-only and neutral: format code on every floor and host tools use it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace rt {

inline uint16_t loadU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t loadU32(const uint8_t* p) { return loadU16(p) | uint32_t(loadU16(p + 2)) << 16; }
inline void storeU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void storeU32(uint8_t* p, uint32_t v) {
  storeU16(p, uint16_t(v));
  storeU16(p + 2, uint16_t(v >> 16));
}

enum class ReadStatus { kOk, kTruncated, kNewerVersion };

struct ByteReader {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
  bool bad = false;

  ByteReader(const uint8_t* d, size_t n) : data(d), size(d ? n : 0) {}

  size_t left() const { return bad ? 0 : size - pos; }
  bool has(size_t n) const { return n <= left(); }
  // The next n bytes, or nullptr (and bad) when fewer are left.
  const uint8_t* take(size_t n) {
    if (!has(n)) {
      bad = true;
      return nullptr;
    }
    const uint8_t* p = data + pos;
    pos += n;
    return p;
  }
  uint8_t u8() {
    const uint8_t* p = take(1);
    return p ? p[0] : 0;
  }
  uint16_t u16() {
    const uint8_t* p = take(2);
    return p ? loadU16(p) : 0;
  }
  uint32_t u32() {
    const uint8_t* p = take(4);
    return p ? loadU32(p) : 0;
  }
  int32_t i32() { return int32_t(u32()); }
  // Leaves dst as it was when the bytes are not there.
  void bytes(void* dst, size_t n) {
    if (const uint8_t* p = take(n)) std::memcpy(dst, p, n);
  }
  std::string text(size_t n) {
    const uint8_t* p = take(n);
    return p ? std::string(reinterpret_cast<const char*>(p), n) : std::string();
  }
  std::vector<uint8_t> block(size_t n) {
    const uint8_t* p = take(n);
    return p ? std::vector<uint8_t>(p, p + n) : std::vector<uint8_t>();
  }
  // A length word, then that many bytes.
  std::string counted() { return text(u32()); }
  // Bytes up to a zero, which is consumed; bad when no zero is left.
  std::string ztext() {
    const void* z = left() ? std::memchr(data + pos, 0, left()) : nullptr;
    if (!z) {
      bad = true;
      return {};
    }
    std::string s = text(size_t(static_cast<const uint8_t*>(z) - (data + pos)));
    ++pos;
    return s;
  }
  // The one rule for versioned blocks: the version word is read, every
  // version up to `newest` is read on, a newer one is refused.
  ReadStatus version(uint32_t newest, uint32_t* out) {
    *out = u32();
    if (bad) return ReadStatus::kTruncated;
    return *out > newest ? ReadStatus::kNewerVersion : ReadStatus::kOk;
  }
};

// Appends to a vector, or writes into a fixed span where a write that does
// not fit writes nothing and latches `bad`.
struct ByteWriter {
  std::vector<uint8_t>* grow = nullptr;
  uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
  bool bad = false;

  explicit ByteWriter(std::vector<uint8_t>& out) : grow(&out) {}
  ByteWriter(uint8_t* d, size_t n) : data(d), size(d ? n : 0) {}

  // Room for the next n bytes (n > 0), or nullptr (and bad).
  uint8_t* room(size_t n) {
    if (grow) {
      grow->resize(grow->size() + n);
      return grow->data() + grow->size() - n;
    }
    if (bad || n > size - pos) {
      bad = true;
      return nullptr;
    }
    uint8_t* p = data + pos;
    pos += n;
    return p;
  }
  void u8(uint8_t v) {
    if (uint8_t* p = room(1)) p[0] = v;
  }
  void u16(uint16_t v) {
    if (uint8_t* p = room(2)) storeU16(p, v);
  }
  void u32(uint32_t v) {
    if (uint8_t* p = room(4)) storeU32(p, v);
  }
  void i32(int32_t v) { u32(uint32_t(v)); }
  void bytes(const void* src, size_t n) {
    if (n == 0) return;
    if (uint8_t* p = room(n)) std::memcpy(p, src, n);
  }
  void counted(const std::string& s) {
    u32(uint32_t(s.size()));
    bytes(s.data(), s.size());
  }
  void ztext(const std::string& s) {
    bytes(s.data(), s.size());
    u8(0);
  }
};

}  // namespace rt
