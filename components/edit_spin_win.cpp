// The edit box's up-down (spin) control: automatic steps that wrap at the
// range's ends, or event 1 for a manual one.
#include "components/edit_box_win.h"
#include "components/input_filter.h"

namespace comp {
namespace {

bool wantsEdge(const EditBoxProps& p) { return p.border == 0 || p.border == 1 || p.border == 3; }

void onUpDown(EditBox* e, const NMUPDOWN* n) {
  HWND hwnd = hwndOf(e);
  if (!IsWindowEnabled(hwnd) || !IsWindowVisible(hwnd)) return;
  if (e->props.upDownType == 2) {
    int32_t arg = n->iDelta >= 0 ? 1 : -1;
    raiseEvent(&e->base, 1, 1, &arg);
    return;
  }
  int lo = 0, hi = 0;
  SendMessageW(e->upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  int32_t v = upDownStep(atoi(windowTextOf(hwnd).c_str()), n->iDelta >= 0, std::min(lo, hi), std::max(lo, hi));
  SetWindowTextW(hwnd, std::to_wstring(v).c_str());
  SendMessageW(hwnd, EM_SETSEL, 0, -1);
  SetFocus(hwnd);
}

LRESULT CALLBACK upDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* e = reinterpret_cast<EditBox*>(ref);
  if (msg == kReflect + WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == UDN_DELTAPOS) {
    onUpDown(e, reinterpret_cast<NMUPDOWN*>(lp));
    return 1;  // the edit box has applied the change itself
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, upDownProc, 1);
    if (e->upDown == hwnd) e->upDown = nullptr;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void createUpDown(EditBox* e, HWND parent, uint32_t controlId) {
  HWND hwnd = hwndOf(e);
  const EditBoxProps& p = e->props;
  DWORD s = WS_CHILD | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
  // Later shows, hides and enables of the edit box carry over (followEditBox).
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) s |= WS_VISIBLE;
  if (!IsWindowEnabled(hwnd)) s |= WS_DISABLED;
  e->upDown = CreateWindowExW(wantsEdge(p) ? WS_EX_STATICEDGE : 0, UPDOWN_CLASSW, nullptr, s, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId + 4)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!e->upDown || !subclass(e->upDown, upDownProc, e)) {
    if (e->upDown) DestroyWindow(e->upDown);
    e->upDown = nullptr;
    e->props.upDownType = 0;
    return;
  }
  SendMessageW(e->upDown, UDM_SETRANGE32, std::min(p.upDownMin, p.upDownMax), std::max(p.upDownMin, p.upDownMax));
  SendMessageW(e->upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd), 0);
}

void setUpDownEdge(EditBox* e) {
  if (!e->upDown) return;
  LONG uex = GetWindowLongW(e->upDown, GWL_EXSTYLE);
  SetWindowLongW(e->upDown, GWL_EXSTYLE, wantsEdge(e->props) ? (uex | WS_EX_STATICEDGE) : (uex & ~WS_EX_STATICEDGE));
  SetWindowPos(e->upDown, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void followEditBox(EditBox* e, UINT msg, WPARAM wp, LPARAM lp) {
  if (!e->upDown) return;
  switch (msg) {
    case WM_SHOWWINDOW:
      // Under a hidden parent ShowWindow sends only this; lp 0 = our own show.
      if (lp == 0) ShowWindow(e->upDown, wp ? SW_SHOWNA : SW_HIDE);
      break;
    case WM_WINDOWPOSCHANGED: {
      UINT flags = reinterpret_cast<WINDOWPOS*>(lp)->flags;
      if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
        ShowWindow(e->upDown, (flags & SWP_SHOWWINDOW) ? SW_SHOWNA : SW_HIDE);
      break;
    }
    case WM_ENABLE:
      EnableWindow(e->upDown, static_cast<BOOL>(wp));
      break;
  }
}

void destroyUpDown(EditBox* e) {
  if (!e->upDown) return;
  RemoveWindowSubclass(e->upDown, upDownProc, 1);
  DestroyWindow(e->upDown);
}

}  // namespace comp
