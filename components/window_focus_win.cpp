// The window's activation events and the choice of focus inside it.
#include "components/window_object_win.h"

namespace comp {
namespace {

struct FocusChoice {
  HWND best;
  uint32_t order;   // focus-order number of best
  int32_t index;    // its record position
  int id;           // its control id
};

// Candidates have a live object, are visible, enabled and tab stops, and
// their type is neither hidden nor excluded from focus. The smallest
// focus-order number wins; on a tie the record nearest the end, and among
// records the runtime cannot place, the lowest control id (created last).
BOOL CALLBACK considerFocus(HWND child, LPARAM lp) {
  auto* c = reinterpret_cast<FocusChoice*>(lp);
  rt::LiveObject* obj = liveObjectOf(child);
  if (!obj || obj->hwnd != child || !IsWindowVisible(child) || !IsWindowEnabled(child) ||
      !(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP))
    return TRUE;
  const rt::TypeRecord* t = typeRecordOf(obj->typeCode);
  if (t && (t->flags & (0x8000 | 0x10000))) return TRUE;
  const uint32_t order = focusOrderOf(obj);
  const int32_t index = recordIndexOf(obj);
  const int id = GetDlgCtrlID(child);
  const bool better = !c->best || order < c->order ||
                      (order == c->order && (index > c->index || (index == c->index && id < c->id)));
  if (better) *c = {child, order, index, id};
  return TRUE;
}

// A disabled top-level window activated again while a modal window is up
// hands the activation on to that window.
bool redirectToModal(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  if (IsWindowEnabled(hwnd) || (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) || !w->activatedOnce ||
      !hiddenOwner() || !runtimeNotify())
    return false;
  HWND modal = reinterpret_cast<HWND>(uintptr_t(runtimeNotify()(rt::kNotifyModalWindow, 0, 0)));
  if (!modal || modal == hwnd) return false;
  SetActiveWindow(modal);
  return true;
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
  FocusChoice c = {nullptr, 0, 0, 0};
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
  if (active && redirectToModal(w)) return;
  // Only events 5 and 6 hold nested activation changes back: those made by
  // the first-activation routine (event 8) raise their events as usual.
  if (active && !w->activatedOnce) {
    w->activatedOnce = true;
    raiseEvent(&w->base, 8);
    if (!IsWindow(hwnd)) return;
  }
  w->inActivation = true;
  raiseEvent(&w->base, active ? 5 : 6);
  if (IsWindow(hwnd)) w->inActivation = false;
}

}  // namespace comp
