#include "components/property_blocks.h"

namespace comp {
namespace {

// Bounded little-endian reader; any short read latches failure.
struct Reader {
  const uint8_t* p;
  uint32_t left;
  bool ok = true;

  uint32_t u32() {
    if (left < 4) { ok = false; left = 0; return 0; }
    uint32_t v = p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
    p += 4; left -= 4;
    return v;
  }
  uint16_t u16() {
    if (left < 2) { ok = false; left = 0; return 0; }
    uint16_t v = static_cast<uint16_t>(p[0] | p[1] << 8);
    p += 2; left -= 2;
    return v;
  }
  Bytes counted() {
    uint32_t n = u32();
    if (!ok) return {};
    if (n > left) { ok = false; left = 0; return {}; }
    Bytes b(reinterpret_cast<const char*>(p), n);
    p += n; left -= n;
    return b;
  }
};

struct Writer {
  std::vector<uint8_t> out;
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void u16(uint16_t v) { out.push_back(v & 0xFF); out.push_back(v >> 8); }
  void counted(const Bytes& b) {
    u32(static_cast<uint32_t>(b.size()));
    out.insert(out.end(), b.begin(), b.end());
  }
};

// Words are read through their kind's bound; the 16-bit and counted fields
// are taken as they are.
template <class T, class Kind> void readField(Reader& r, T& f, Kind) {
  f = static_cast<T>(Kind::read(static_cast<int32_t>(r.u32())));
}
void readField(Reader& r, uint16_t& f, CharCode) { f = r.u16(); }
template <class Kind> void readField(Reader& r, Bytes& f, Kind) { f = r.counted(); }

template <class T> void writeField(Writer& w, const T& f) { w.u32(static_cast<uint32_t>(f)); }
void writeField(Writer& w, const uint16_t& f) { w.u16(f); }
void writeField(Writer& w, const Bytes& f) { w.counted(f); }

// An empty block means defaults, a newer version refuses.
template <class P> ReadStatus readProps(const uint8_t* data, uint32_t size, P* out) {
  *out = P();
  if (size == 0) return ReadStatus::kOk;
  Reader r{data, size};
  uint32_t version = r.u32();
  if (!r.ok) return ReadStatus::kTruncated;
  if (version > P::kVersion) return ReadStatus::kNewerVersion;
  P::visit(*out, [&](int32_t, auto& f, auto kind, uint32_t since) {
    if (version >= since) readField(r, f, kind);
  });
  return r.ok ? ReadStatus::kOk : ReadStatus::kTruncated;
}

template <class P> std::vector<uint8_t> writeProps(const P& p) {
  Writer w;
  w.u32(P::kVersion);
  P::visit(p, [&](int32_t, const auto& f, auto, uint32_t) { writeField(w, f); });
  return w.out;
}

}  // namespace

ReadStatus readWindowProps(const uint8_t* data, uint32_t size, WindowProps* out) {
  return readProps(data, size, out);
}
ReadStatus readEditBoxProps(const uint8_t* data, uint32_t size, EditBoxProps* out) {
  return readProps(data, size, out);
}
ReadStatus readButtonProps(const uint8_t* data, uint32_t size, ButtonProps* out) {
  return readProps(data, size, out);
}
ReadStatus readTimerProps(const uint8_t* data, uint32_t size, TimerProps* out) {
  return readProps(data, size, out);
}

std::vector<uint8_t> writeWindowProps(const WindowProps& p) { return writeProps(p); }
std::vector<uint8_t> writeEditBoxProps(const EditBoxProps& p) { return writeProps(p); }
std::vector<uint8_t> writeButtonProps(const ButtonProps& p) { return writeProps(p); }
std::vector<uint8_t> writeTimerProps(const TimerProps& p) { return writeProps(p); }

}  // namespace comp
