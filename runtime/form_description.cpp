#include "runtime/form_description.h"
#include <cstring>

namespace rt {
namespace {

// Bounded little-endian reader; any read past the end sets `bad` for good.
struct Reader {
  const uint8_t* p;
  size_t size;
  size_t pos = 0;
  bool bad = false;

  Reader(const uint8_t* data, size_t n) : p(data), size(n) {}
  bool has(size_t n) const { return !bad && n <= size - pos; }
  uint32_t word() {
    if (!has(4)) { bad = true; return 0; }
    uint32_t v = uint32_t(p[pos]) | uint32_t(p[pos + 1]) << 8 |
                 uint32_t(p[pos + 2]) << 16 | uint32_t(p[pos + 3]) << 24;
    pos += 4;
    return v;
  }
  const uint8_t* take(size_t n) {
    if (!has(n)) { bad = true; return nullptr; }
    const uint8_t* b = p + pos;
    pos += n;
    return b;
  }
  void bytes(void* dst, size_t n) {
    if (const uint8_t* b = take(n)) std::memcpy(dst, b, n);
  }
  std::string counted() {
    uint32_t n = word();
    const uint8_t* b = take(n);
    return b ? std::string(reinterpret_cast<const char*>(b), n) : std::string();
  }
  std::vector<uint8_t> block(size_t n) {
    const uint8_t* b = take(n);
    return b ? std::vector<uint8_t>(b, b + n) : std::vector<uint8_t>();
  }
  std::string ztext() {
    if (bad) return {};
    const void* z = std::memchr(p + pos, 0, size - pos);
    if (!z) { bad = true; return {}; }
    size_t n = static_cast<const uint8_t*>(z) - (p + pos);
    std::string s(reinterpret_cast<const char*>(p + pos), n);
    pos += n + 1;
    return s;
  }
};

struct Writer {
  std::vector<uint8_t> out;
  void word(uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
  }
  void bytes(const void* b, size_t n) {
    auto c = static_cast<const uint8_t*>(b);
    out.insert(out.end(), c, c + n);
  }
  void counted(const std::string& s) { word(uint32_t(s.size())); bytes(s.data(), s.size()); }
  void ztext(const std::string& s) { bytes(s.data(), s.size()); out.push_back(0); }
};

bool readRecord(Reader& r, ComponentRecord* c) {
  c->typeCode = r.word();
  c->sharedLink = r.word();
  r.bytes(c->reserved8, 16);
  c->name = r.ztext();
  c->name2 = r.ztext();
  if (c->isMenuItem()) {
    r.bytes(c->menuBytes, 12);
    c->caption = r.ztext();
    int32_t off = int32_t(r.word());
    c->events.assign(1, EventBinding{0, off, 0});
  } else {
    c->objectWord = r.word();
    c->left = int32_t(r.word());
    c->top = int32_t(r.word());
    c->width = int32_t(r.word());
    c->height = int32_t(r.word());
    c->cursorWord = r.word();
    c->parent = r.word();
    uint32_t nChildren = r.word();
    if (!r.has(size_t(nChildren) * 4)) return false;
    c->children.resize(nChildren);
    for (auto& id : c->children) id = r.word();
    c->mousePointer = r.block(r.word());
    c->tag = r.ztext();
    c->reservedWord = r.word();
    c->flags = r.word();
    c->focusOrder = r.word();
    uint32_t nEvents = r.word();
    if (!r.has(size_t(nEvents) * 8)) return false;
    c->events.resize(nEvents);
    for (auto& e : c->events) {
      e.event = int32_t(r.word());
      e.offset = int32_t(r.word());
    }
    r.bytes(c->reserved20, 20);
  }
  if (r.bad) return false;
  c->propertyData = r.block(r.size - r.pos);
  return !r.bad;
}

bool readWindow(Reader& r, WindowDescription* w) {
  w->headerA = r.word();
  w->headerB = r.word();
  w->text1 = r.counted();
  w->text2 = r.counted();
  uint32_t n = r.word();
  uint32_t areaLen = r.word();
  const uint8_t* area = r.take(areaLen);
  if (r.bad || n == 0 || areaLen / 8 < n) return false;
  Reader a(area, areaLen);
  std::vector<uint32_t> ids(n), offsets(n);
  for (auto& id : ids) id = a.word();
  for (auto& o : offsets) o = a.word();
  const size_t base = a.pos;
  w->records.resize(n);
  for (uint32_t i = 0; i < n; ++i) {
    if (offsets[i] > areaLen - base) return false;
    Reader lenReader(area + base + offsets[i], areaLen - base - offsets[i]);
    uint32_t len = lenReader.word();
    const uint8_t* body = lenReader.take(len);
    if (!body) return false;
    Reader rec(body, len);
    w->records[i].id = ids[i];
    if (!readRecord(rec, &w->records[i])) return false;
  }
  return true;
}

}  // namespace

bool readFormDescription(const uint8_t* data, size_t size, FormDescription* out) {
  Reader r(data, size);
  uint32_t tableLen = r.word();
  if (r.bad || tableLen % 8 != 0 || !r.has(tableLen)) return false;
  FormDescription form;
  form.windows.resize(tableLen / 8);
  for (auto& w : form.windows) w.id = r.word();
  for (auto& w : form.windows) w.slotWord = r.word();
  for (auto& w : form.windows)
    if (!readWindow(r, &w.desc)) return false;
  if (r.bad) return false;
  *out = std::move(form);
  return true;
}

std::vector<uint8_t> writeComponentRecord(const ComponentRecord& c) {
  Writer w;
  w.word(c.typeCode);
  w.word(c.sharedLink);
  w.bytes(c.reserved8, 16);
  w.ztext(c.name);
  w.ztext(c.name2);
  if (c.isMenuItem()) {
    w.bytes(c.menuBytes, 12);
    w.ztext(c.caption);
    w.word(uint32_t(c.events.empty() ? -1 : c.events[0].offset));
  } else {
    w.word(c.objectWord);
    w.word(uint32_t(c.left));
    w.word(uint32_t(c.top));
    w.word(uint32_t(c.width));
    w.word(uint32_t(c.height));
    w.word(c.cursorWord);
    w.word(c.parent);
    w.word(uint32_t(c.children.size()));
    for (uint32_t id : c.children) w.word(id);
    w.word(uint32_t(c.mousePointer.size()));
    w.bytes(c.mousePointer.data(), c.mousePointer.size());
    w.ztext(c.tag);
    w.word(c.reservedWord);
    w.word(c.flags);
    w.word(c.focusOrder);
    w.word(uint32_t(c.events.size()));
    for (const auto& e : c.events) {
      w.word(uint32_t(e.event));
      w.word(uint32_t(e.offset));
    }
    w.bytes(c.reserved20, 20);
  }
  w.bytes(c.propertyData.data(), c.propertyData.size());
  return std::move(w.out);
}

std::vector<uint8_t> writeFormDescription(const FormDescription& form) {
  Writer w;
  w.word(uint32_t(form.windows.size() * 8));
  for (const auto& win : form.windows) w.word(win.id);
  for (const auto& win : form.windows) w.word(win.slotWord);
  for (const auto& win : form.windows) {
    const WindowDescription& d = win.desc;
    w.word(d.headerA);
    w.word(d.headerB);
    w.counted(d.text1);
    w.counted(d.text2);
    std::vector<std::vector<uint8_t>> bodies;
    for (const auto& rec : d.records) bodies.push_back(writeComponentRecord(rec));
    uint32_t areaLen = uint32_t(d.records.size() * 8);
    for (const auto& b : bodies) areaLen += uint32_t(4 + b.size());
    w.word(uint32_t(d.records.size()));
    w.word(areaLen);
    for (const auto& rec : d.records) w.word(rec.id);
    uint32_t offset = 0;
    for (const auto& b : bodies) {
      w.word(offset);
      offset += uint32_t(4 + b.size());
    }
    for (const auto& b : bodies) {
      w.word(uint32_t(b.size()));
      w.bytes(b.data(), b.size());
    }
  }
  return std::move(w.out);
}

void resolveRoutines(FormDescription* form, uintptr_t codeBase) {
  for (auto& win : form->windows)
    for (auto& rec : win.desc.records)
      for (auto& e : rec.events)
        e.routine = e.offset == -1 ? 0 : codeBase + uintptr_t(int64_t(e.offset));
}

}  // namespace rt
