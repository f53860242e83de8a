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
  int32_t i32() { return static_cast<int32_t>(u32()); }
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
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void u16(uint16_t v) { out.push_back(v & 0xFF); out.push_back(v >> 8); }
  void counted(const Bytes& b) {
    u32(static_cast<uint32_t>(b.size()));
    out.insert(out.end(), b.begin(), b.end());
  }
};

// Shared prologue: an empty block means defaults, a newer version refuses.
bool startRead(Reader& r, uint32_t newest, uint32_t* version, ReadStatus* status) {
  if (r.left == 0) { *status = ReadStatus::kOk; return false; }
  *version = r.u32();
  if (!r.ok) { *status = ReadStatus::kTruncated; return false; }
  if (*version > newest) { *status = ReadStatus::kNewerVersion; return false; }
  return true;
}

ReadStatus finish(const Reader& r) { return r.ok ? ReadStatus::kOk : ReadStatus::kTruncated; }

}  // namespace

ReadStatus readWindowProps(const uint8_t* data, uint32_t size, WindowProps* out) {
  *out = WindowProps();
  Reader r{data, size};
  uint32_t v = 0;
  ReadStatus st;
  if (!startRead(r, WindowProps::kVersion, &v, &st)) return st;
  WindowProps& p = *out;
  p.border = clampChoice(r.i32(), 6);
  p.pictureMode = clampChoice(r.i32(), 3);
  p.backColour = r.u32();
  p.maxBox = r.i32();
  p.minBox = r.i32();
  p.controlBox = r.i32();
  p.position = clampChoice(r.i32(), 3);
  p.movable = r.i32();
  p.musicMode = clampChoice(r.i32(), 2);
  p.enterMovesFocus = r.i32();
  p.escCloses = r.i32();
  p.f1Help = r.i32();
  p.helpContext = r.i32();
  if (v >= 2) p.inTaskbar = r.i32();
  if (v >= 3) {
    p.dragByClient = r.i32();
    p.shape = clampChoice(r.i32(), 29);
  }
  if (v >= 4) p.topmost = r.i32();
  if (v >= 5) p.keepTitleActive = r.i32();
  if (v >= 6) p.className = r.counted();
  p.picture = r.counted();
  p.icon = r.counted();
  p.music = r.counted();
  p.caption = r.counted();
  p.helpFile = r.counted();
  return finish(r);
}

std::vector<uint8_t> writeWindowProps(const WindowProps& p) {
  Writer w;
  w.u32(WindowProps::kVersion);
  w.i32(p.border);
  w.i32(p.pictureMode);
  w.u32(p.backColour);
  w.i32(p.maxBox);
  w.i32(p.minBox);
  w.i32(p.controlBox);
  w.i32(p.position);
  w.i32(p.movable);
  w.i32(p.musicMode);
  w.i32(p.enterMovesFocus);
  w.i32(p.escCloses);
  w.i32(p.f1Help);
  w.i32(p.helpContext);
  w.i32(p.inTaskbar);
  w.i32(p.dragByClient);
  w.i32(p.shape);
  w.i32(p.topmost);
  w.i32(p.keepTitleActive);
  w.counted(p.className);
  w.counted(p.picture);
  w.counted(p.icon);
  w.counted(p.music);
  w.counted(p.caption);
  w.counted(p.helpFile);
  return w.out;
}

ReadStatus readEditBoxProps(const uint8_t* data, uint32_t size, EditBoxProps* out) {
  *out = EditBoxProps();
  Reader r{data, size};
  uint32_t v = 0;
  ReadStatus st;
  if (!startRead(r, EditBoxProps::kVersion, &v, &st)) return st;
  EditBoxProps& p = *out;
  p.border = clampChoice(r.i32(), 5);
  p.textColour = r.u32();
  p.backColour = r.u32();
  p.hideSelection = r.i32();
  p.maxLength = nonNegative(r.i32());
  p.multiLine = r.i32();
  p.scrollBars = clampChoice(r.i32(), 3);
  p.alignment = clampChoice(r.i32(), 2);
  p.inputMode = clampChoice(r.i32(), 11);
  p.passwordChar = r.u16();
  p.caseConversion = clampChoice(r.i32(), 2);
  p.upDownType = clampChoice(r.i32(), 2);
  p.upDownMin = r.i32();
  p.upDownMax = r.i32();
  p.selStart = r.i32();
  p.selLength = r.i32();
  p.font = r.counted();
  p.content = r.counted();
  if (v >= 2) {
    p.dataSource = r.counted();
    p.dataColumn = r.counted();
  }
  return finish(r);
}

std::vector<uint8_t> writeEditBoxProps(const EditBoxProps& p) {
  Writer w;
  w.u32(EditBoxProps::kVersion);
  w.i32(p.border);
  w.u32(p.textColour);
  w.u32(p.backColour);
  w.i32(p.hideSelection);
  w.i32(p.maxLength);
  w.i32(p.multiLine);
  w.i32(p.scrollBars);
  w.i32(p.alignment);
  w.i32(p.inputMode);
  w.u16(p.passwordChar);
  w.i32(p.caseConversion);
  w.i32(p.upDownType);
  w.i32(p.upDownMin);
  w.i32(p.upDownMax);
  w.i32(p.selStart);
  w.i32(p.selLength);
  w.counted(p.font);
  w.counted(p.content);
  w.counted(p.dataSource);
  w.counted(p.dataColumn);
  return w.out;
}

ReadStatus readButtonProps(const uint8_t* data, uint32_t size, ButtonProps* out) {
  *out = ButtonProps();
  Reader r{data, size};
  uint32_t v = 0;
  ReadStatus st;
  if (!startRead(r, ButtonProps::kVersion, &v, &st)) return st;
  out->type = clampChoice(r.i32(), 1);
  out->hAlign = clampChoice(r.i32(), 2);
  out->vAlign = clampChoice(r.i32(), 2);
  out->picture = r.counted();
  out->font = r.counted();
  out->caption = r.counted();
  return finish(r);
}

std::vector<uint8_t> writeButtonProps(const ButtonProps& p) {
  Writer w;
  w.u32(ButtonProps::kVersion);
  w.i32(p.type);
  w.i32(p.hAlign);
  w.i32(p.vAlign);
  w.counted(p.picture);
  w.counted(p.font);
  w.counted(p.caption);
  return w.out;
}

ReadStatus readTimerProps(const uint8_t* data, uint32_t size, TimerProps* out) {
  *out = TimerProps();
  Reader r{data, size};
  uint32_t v = 0;
  ReadStatus st;
  if (!startRead(r, TimerProps::kVersion, &v, &st)) return st;
  out->period = nonNegative(r.i32());
  return finish(r);
}

std::vector<uint8_t> writeTimerProps(const TimerProps& p) {
  Writer w;
  w.u32(TimerProps::kVersion);
  w.i32(p.period);
  return w.out;
}

}  // namespace comp
