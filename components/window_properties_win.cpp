// The window component's property operations.
#include "components/window_object_win.h"

namespace comp {


int32_t RT_CALL windowPropertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
                                const char** errorText) {
  auto* w = reinterpret_cast<WindowObject*>(obj);
  WindowProps& p = w->props;
  HWND hwnd = hwndOf(w);
  int32_t i = v->i;
  switch (index + 8) {
    case 8: p.caption = textIn(v); SetWindowTextW(hwnd, widen(p.caption).c_str()); recomputeFrame(w); break;
    case 9: p.border = clampChoice(i, 6); recomputeFrame(w); break;
    case 10: p.backColour = v->w[0]; InvalidateRect(hwnd, nullptr, TRUE); break;
    case 11: p.picture = rawIn(v); loadPicture(w); InvalidateRect(hwnd, nullptr, TRUE); break;
    case 12:
      p.pictureMode = clampChoice(i, 3);
      if (w->picture.bitmap) InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case 13: stopMusic(w); p.music = rawIn(v); startMusic(w); break;
    case 14: stopMusic(w); p.musicMode = clampChoice(i, 2); startMusic(w); break;
    case 15: p.controlBox = i != 0; recomputeFrame(w); break;
    case 16: p.maxBox = i != 0; recomputeFrame(w); break;
    case 17: p.minBox = i != 0; recomputeFrame(w); break;
    case 18: p.position = clampChoice(i, 3); applyPosition(w); break;
    case 19: p.movable = i != 0; setMovable(w); break;
    case 20: p.icon = rawIn(v); loadIcons(w); break;
    case 21: p.enterMovesFocus = i != 0; break;
    case 22: p.escCloses = i != 0; break;
    case 23: p.f1Help = i != 0; break;
    case 24: p.helpFile = textIn(v); break;
    case 25: p.helpContext = i; break;
    case 26: p.inTaskbar = i != 0; break;
    case 27: p.dragByClient = i != 0; break;
    case 28: p.shape = clampChoice(i, 29); applyShape(w); break;
    case 29: p.topmost = i != 0; setTopmost(w); break;
    case 30: p.keepTitleActive = i != 0; break;
    case 31: p.className = textIn(v); break;
  }
  return 0;
}

int32_t RT_CALL windowGetPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out) {
  auto* w = reinterpret_cast<WindowObject*>(obj);
  const WindowProps& p = w->props;
  HWND hwnd = hwndOf(w);
  switch (index + 8) {
    case 8: putText(out, p.caption); return 1;
    case 9: putInt(out, p.border); return 1;
    case 10: putInt(out, static_cast<int32_t>(p.backColour)); return 1;
    case 11: putRaw(out, p.picture); return 1;
    case 12: putInt(out, p.pictureMode); return 1;
    case 13: putRaw(out, p.music); return 1;
    case 14: putInt(out, p.musicMode); return 1;
    case 15: putInt(out, p.controlBox); return 1;
    case 16: putInt(out, p.maxBox); return 1;
    case 17: putInt(out, p.minBox); return 1;
    case 18: putInt(out, IsIconic(hwnd) ? 2 : IsZoomed(hwnd) ? 3 : 0); return 1;
    case 19: putInt(out, p.movable); return 1;
    case 20: putRaw(out, p.icon); return 1;
    case 21: putInt(out, p.enterMovesFocus); return 1;
    case 22: putInt(out, p.escCloses); return 1;
    case 23: putInt(out, p.f1Help); return 1;
    case 24: putText(out, p.helpFile); return 1;
    case 25: putInt(out, p.helpContext); return 1;
    case 26: putInt(out, p.inTaskbar); return 1;
    case 27: putInt(out, p.dragByClient); return 1;
    case 28: putInt(out, p.shape); return 1;
    case 29: putInt(out, p.topmost); return 1;
    case 30: putInt(out, p.keepTitleActive); return 1;
    case 31: putText(out, p.className); return 1;
  }
  return 0;
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
  static const int32_t kTexts[] = {8 - 8, 24 - 8};
  walkPropertyTexts(obj, kTexts, 2, fn, ctx);
}

}  // namespace comp
