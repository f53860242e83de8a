// The window's activation events and the choice of focus inside it.
#include "components/window_object_win.h"

namespace comp {
namespace {

struct FocusChoice {
  HWND best;
  int id;
};

// Candidates have a live object, are visible, enabled and tab stops, and
// their type is neither hidden nor excluded from focus. All focus-order
// numbers being equal, the record nearest the end (lowest id) wins.
BOOL CALLBACK considerFocus(HWND child, LPARAM lp) {
  auto* c = reinterpret_cast<FocusChoice*>(lp);
  rt::LiveObject* obj = liveObjectOf(child);
  if (!obj || obj->hwnd != child || !IsWindowVisible(child) || !IsWindowEnabled(child) ||
      !(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP))
    return TRUE;
  const rt::TypeRecord* t = typeRecordOf(obj->typeCode);
  if (t && (t->flags & (0x8000 | 0x10000))) return TRUE;
  int id = GetDlgCtrlID(child);
  if (!c->best || id < c->id) {
    c->best = child;
    c->id = id;
  }
  return TRUE;
}

}  // namespace

void windowSetFocus(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  raiseEvent(&w->base, -7);
  if (!IsWindow(hwnd)) return;
  if (w->lastFocus && IsChild(hwnd, w->lastFocus) && IsWindowVisible(w->lastFocus)) {
    SetFocus(w->lastFocus);
    return;
  }
  FocusChoice c = {nullptr, 0};
  EnumChildWindows(hwnd, considerFocus, reinterpret_cast<LPARAM>(&c));
  if (c.best) SetFocus(c.best);
}

void windowActivate(WindowObject* w, bool active) {
  HWND hwnd = hwndOf(w);
  if (!active) {
    HWND f = GetFocus();
    if (f && IsChild(hwnd, f)) w->lastFocus = f;
  }
  if (w->inActivation) return;
  w->inActivation = true;
  if (active && !w->activatedOnce) {
    w->activatedOnce = true;
    raiseEvent(&w->base, 8);
  }
  if (IsWindow(hwnd)) raiseEvent(&w->base, active ? 5 : 6);
  if (IsWindow(hwnd)) w->inActivation = false;
}

}  // namespace comp
