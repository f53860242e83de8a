// Cursors of the records' mouse-pointer data. The cursor is kept in the
// record's cursor slot and named on the component's native window, where
// the window component looks for it when the pointer is over it.
#include <windows.h>
#include <cstring>
#include "runtime/byte_io.h"
#include "runtime/mouse_pointer.h"
#include "runtime/runtime_win.h"

namespace rt {
namespace {

// The first image of a cursor file, with the hot spot it names.
HCURSOR cursorFromFile(const uint8_t* f, size_t size) {
  if (size < 22 || loadU16(f) != 0 || loadU16(f + 2) != 2 || loadU16(f + 4) == 0) return nullptr;
  const uint8_t* entry = f + 6;
  uint32_t bytes = loadU32(entry + 8), offset = loadU32(entry + 12);
  if (offset > size || bytes > size - offset || bytes == 0) return nullptr;
  std::vector<uint8_t> res(4 + bytes);
  std::memcpy(res.data(), entry + 4, 4);   // hot spot x, y
  std::memcpy(res.data() + 4, f + offset, bytes);
  return CreateIconFromResourceEx(res.data(), DWORD(res.size()), FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
}

// A cursor the record owns (system cursors are copied, never shared), or
// null for the default pointer and for data that makes no cursor.
HCURSOR loadPointer(const std::vector<uint8_t>& block) {
  if (block.size() < 4) return nullptr;
  int32_t n = int32_t(loadU32(block.data()));
  if (n == kPointerCustom) return cursorFromFile(block.data() + 4, block.size() - 4);
  int32_t id = publicPointer(n);
  if (id == kPointerDefault) return nullptr;
  return static_cast<HCURSOR>(LoadImageW(nullptr, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

}  // namespace

void loadRecordPointer(ComponentRecord* r) {
  HWND h = r->object ? static_cast<HWND>(r->object->hwnd) : nullptr;
  if (h) RemovePropW(h, kPointerProperty);
  if (r->cursor) DestroyCursor(static_cast<HCURSOR>(r->cursor));
  r->cursor = loadPointer(r->mousePointer);
  if (h && r->cursor) SetPropW(h, kPointerProperty, r->cursor);
}

void releaseRecordPointer(ComponentRecord* r) {
  if (r->object && r->object->hwnd) RemovePropW(static_cast<HWND>(r->object->hwnd), kPointerProperty);
  if (r->cursor) DestroyCursor(static_cast<HCURSOR>(r->cursor));
  r->cursor = nullptr;
}

}  // namespace rt
