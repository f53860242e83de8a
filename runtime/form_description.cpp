#include "runtime/form_description.h"
#include "runtime/byte_io.h"

namespace rt {
namespace {

bool readRecord(ByteReader& r, ComponentRecord* c) {
  c->typeCode = r.u32();
  c->sharedLink = r.u32();
  r.bytes(c->reserved8, 16);
  c->name = r.ztext();
  c->name2 = r.ztext();
  if (c->isMenuItem()) {
    r.bytes(c->menuBytes, 12);
    c->caption = r.ztext();
    int32_t off = int32_t(r.u32());
    c->events.assign(1, EventBinding{0, off, 0});
  } else {
    c->objectWord = r.u32();
    c->left = int32_t(r.u32());
    c->top = int32_t(r.u32());
    c->width = int32_t(r.u32());
    c->height = int32_t(r.u32());
    c->cursorWord = r.u32();
    c->parent = r.u32();
    uint32_t nChildren = r.u32();
    if (!r.has(size_t(nChildren) * 4)) return false;
    c->children.resize(nChildren);
    for (auto& id : c->children) id = r.u32();
    c->mousePointer = r.block(r.u32());
    c->tag = r.ztext();
    c->reservedWord = r.u32();
    c->flags = r.u32();
    c->focusOrder = r.u32();
    uint32_t nEvents = r.u32();
    if (!r.has(size_t(nEvents) * 8)) return false;
    c->events.resize(nEvents);
    for (auto& e : c->events) {
      e.event = int32_t(r.u32());
      e.offset = int32_t(r.u32());
    }
    r.bytes(c->reserved20, 20);
  }
  if (r.bad) return false;
  c->propertyData = r.block(r.left());
  return !r.bad;
}

bool readWindow(ByteReader& r, WindowDescription* w) {
  w->headerA = r.u32();
  w->headerB = r.u32();
  w->text1 = r.counted();
  w->text2 = r.counted();
  uint32_t n = r.u32();
  uint32_t areaLen = r.u32();
  const uint8_t* area = r.take(areaLen);
  if (r.bad || n == 0 || areaLen / 8 < n) return false;
  ByteReader a(area, areaLen);
  std::vector<uint32_t> ids(n), offsets(n);
  for (auto& id : ids) id = a.u32();
  for (auto& o : offsets) o = a.u32();
  const size_t base = a.pos;
  w->records.resize(n);
  for (uint32_t i = 0; i < n; ++i) {
    if (offsets[i] > areaLen - base) return false;
    ByteReader lenReader(area + base + offsets[i], areaLen - base - offsets[i]);
    uint32_t len = lenReader.u32();
    const uint8_t* body = lenReader.take(len);
    if (!body) return false;
    ByteReader rec(body, len);
    w->records[i].id = ids[i];
    if (!readRecord(rec, &w->records[i])) return false;
  }
  return true;
}

}  // namespace

bool readFormDescription(const uint8_t* data, size_t size, FormDescription* out) {
  ByteReader r(data, size);
  uint32_t tableLen = r.u32();
  if (r.bad || tableLen % 8 != 0 || !r.has(tableLen)) return false;
  FormDescription form;
  form.windows.resize(tableLen / 8);
  for (auto& w : form.windows) w.id = r.u32();
  for (auto& w : form.windows) w.slotWord = r.u32();
  for (auto& w : form.windows)
    if (!readWindow(r, &w.desc)) return false;
  if (r.bad) return false;
  *out = std::move(form);
  return true;
}

std::vector<uint8_t> writeComponentRecord(const ComponentRecord& c) {
  std::vector<uint8_t> out;
  ByteWriter w(out);
  w.u32(c.typeCode);
  w.u32(c.sharedLink);
  w.bytes(c.reserved8, 16);
  w.ztext(c.name);
  w.ztext(c.name2);
  if (c.isMenuItem()) {
    w.bytes(c.menuBytes, 12);
    w.ztext(c.caption);
    w.u32(uint32_t(c.events.empty() ? -1 : c.events[0].offset));
  } else {
    w.u32(c.objectWord);
    w.u32(uint32_t(c.left));
    w.u32(uint32_t(c.top));
    w.u32(uint32_t(c.width));
    w.u32(uint32_t(c.height));
    w.u32(c.cursorWord);
    w.u32(c.parent);
    w.u32(uint32_t(c.children.size()));
    for (uint32_t id : c.children) w.u32(id);
    w.u32(uint32_t(c.mousePointer.size()));
    w.bytes(c.mousePointer.data(), c.mousePointer.size());
    w.ztext(c.tag);
    w.u32(c.reservedWord);
    w.u32(c.flags);
    w.u32(c.focusOrder);
    w.u32(uint32_t(c.events.size()));
    for (const auto& e : c.events) {
      w.u32(uint32_t(e.event));
      w.u32(uint32_t(e.offset));
    }
    w.bytes(c.reserved20, 20);
  }
  w.bytes(c.propertyData.data(), c.propertyData.size());
  return out;
}

std::vector<uint8_t> writeFormDescription(const FormDescription& form) {
  std::vector<uint8_t> out;
  ByteWriter w(out);
  w.u32(uint32_t(form.windows.size() * 8));
  for (const auto& win : form.windows) w.u32(win.id);
  for (const auto& win : form.windows) w.u32(win.slotWord);
  for (const auto& win : form.windows) {
    const WindowDescription& d = win.desc;
    w.u32(d.headerA);
    w.u32(d.headerB);
    w.counted(d.text1);
    w.counted(d.text2);
    std::vector<std::vector<uint8_t>> bodies;
    for (const auto& rec : d.records) bodies.push_back(writeComponentRecord(rec));
    uint32_t areaLen = uint32_t(d.records.size() * 8);
    for (const auto& b : bodies) areaLen += uint32_t(4 + b.size());
    w.u32(uint32_t(d.records.size()));
    w.u32(areaLen);
    for (const auto& rec : d.records) w.u32(rec.id);
    uint32_t offset = 0;
    for (const auto& b : bodies) {
      w.u32(offset);
      offset += uint32_t(4 + b.size());
    }
    for (const auto& b : bodies) {
      w.u32(uint32_t(b.size()));
      w.bytes(b.data(), b.size());
    }
  }
  return out;
}

void resolveRoutines(FormDescription* form, uintptr_t codeBase) {
  for (auto& win : form->windows)
    for (auto& rec : win.desc.records)
      for (auto& e : rec.events)
        e.routine = e.offset == -1 ? 0 : codeBase + uintptr_t(int64_t(e.offset));
}

}  // namespace rt
