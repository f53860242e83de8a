// The window component's property operations.
#include "components/window_object_win.h"

namespace comp {
namespace {

// What a write does to the live window once the value is stored.
void applyChange(WindowObject* w, int32_t number) {
  HWND hwnd = hwndOf(w);
  switch (number) {
    case 8: SetWindowTextW(hwnd, widen(w->props.caption).c_str()); recomputeFrame(w); break;
    case 9: case 15: case 16: case 17: recomputeFrame(w); break;
    case 10: InvalidateRect(hwnd, nullptr, TRUE); break;
    case 11: loadPicture(w); InvalidateRect(hwnd, nullptr, TRUE); break;
    case 12: if (w->picture.bitmap) InvalidateRect(hwnd, nullptr, TRUE); break;
    case 13: case 14: startMusic(w); break;
    case 18: applyPosition(w); break;
    case 19: setMovable(w); break;
    case 20: loadIcons(w); break;
    case 28: applyShape(w); break;
    case 29: setTopmost(w); break;
  }
}

}  // namespace

int32_t RT_CALL windowPropertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
                                      const char** errorText) {
  auto* w = reinterpret_cast<WindowObject*>(obj);
  int32_t number = index + rt::kFirstOwnProperty;
  // The music playing now is stopped by what it was started from.
  if (number == 13 || number == 14) stopMusic(w);
  if (setStored(w->props, number, v) >= 0) applyChange(w, number);
  return 0;
}

int32_t RT_CALL windowGetPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out) {
  auto* w = reinterpret_cast<WindowObject*>(obj);
  int32_t number = index + rt::kFirstOwnProperty;
  if (number == 18) {  // the live state, not the stored position
    HWND hwnd = hwndOf(w);
    putInt(out, IsIconic(hwnd) ? 2 : IsZoomed(hwnd) ? 3 : 0);
    return 1;
  }
  return getStored(w->props, number, out, nullptr);
}

uint8_t* RT_CALL windowGetAllPropertyData(rt::LiveObject* obj, uint32_t* size) {
  return runtimeBlock(writeWindowProps(reinterpret_cast<WindowObject*>(obj)->props), size);
}

const uint8_t* RT_CALL windowIconData(rt::LiveObject* obj, uint32_t* size) {
  const Bytes& icon = reinterpret_cast<WindowObject*>(obj)->props.icon;
  *size = static_cast<uint32_t>(icon.size());
  return icon.empty() ? nullptr : reinterpret_cast<const uint8_t*>(icon.data());
}

void RT_CALL windowPropertyTexts(rt::LiveObject* obj, PropertyTextFn fn, void* ctx) {
  static const int32_t kTexts[] = {8, 24};  // caption, help file
  walkPropertyTexts(obj, kTexts, 2, fn, ctx);
}

}  // namespace comp
