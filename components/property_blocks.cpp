#include "components/property_blocks.h"

namespace comp {
namespace {

// Words are read through their kind's bound; the 16-bit and counted fields
// are taken as they are.
template <class T, class Kind> void readField(rt::ByteReader& r, T& f, Kind) {
  f = static_cast<T>(Kind::read(static_cast<int32_t>(r.u32())));
}
void readField(rt::ByteReader& r, uint16_t& f, CharCode) { f = r.u16(); }
template <class Kind> void readField(rt::ByteReader& r, Bytes& f, Kind) { f = r.counted(); }

template <class T> void writeField(rt::ByteWriter& w, const T& f) { w.u32(static_cast<uint32_t>(f)); }
void writeField(rt::ByteWriter& w, const uint16_t& f) { w.u16(f); }
void writeField(rt::ByteWriter& w, const Bytes& f) { w.counted(f); }

// An empty block means defaults, a newer version refuses.
template <class P> ReadStatus readProps(const uint8_t* data, uint32_t size, P* out) {
  *out = P();
  if (size == 0) return ReadStatus::kOk;
  rt::ByteReader r(data, size);
  uint32_t version = 0;
  if (ReadStatus st = r.version(P::kVersion, &version); st != ReadStatus::kOk) return st;
  P::visit(*out, [&](int32_t, auto& f, auto kind, uint32_t since) {
    if (version >= since) readField(r, f, kind);
  });
  return r.bad ? ReadStatus::kTruncated : ReadStatus::kOk;
}

template <class P> std::vector<uint8_t> writeProps(const P& p) {
  std::vector<uint8_t> out;
  rt::ByteWriter w(out);
  w.u32(P::kVersion);
  P::visit(p, [&](int32_t, const auto& f, auto, uint32_t) { writeField(w, f); });
  return out;
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
