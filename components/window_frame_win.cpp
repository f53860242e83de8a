// The window's frame: styles from the border and box properties, shape,
// system menu, z-order and the position property.
#include <cmath>
#include "components/window_object_win.h"

namespace comp {
namespace {

constexpr DWORD kFrameBits = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                             WS_MAXIMIZEBOX | WS_POPUP;
constexpr DWORD kFrameExBits = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;

}  // namespace

void frameStyles(const WindowProps& p, DWORD* style, DWORD* ex) {
  DWORD s = 0, e = 0;
  if (p.border != 0) {
    if (!p.caption.empty() || p.controlBox) s |= WS_CAPTION;
    if (p.controlBox) s |= WS_SYSMENU;
    s |= WS_DLGFRAME;
    if (p.border == 1 || p.border == 3 || p.border == 5) s |= WS_THICKFRAME;
    if (p.border == 3 || p.border == 4) e |= WS_EX_TOOLWINDOW;
    if (p.border == 5 || p.border == 6) e |= WS_EX_CLIENTEDGE;
  }
  if (p.maxBox) s |= WS_MAXIMIZEBOX;
  if (p.minBox) s |= WS_MINIMIZEBOX;
  // Without a title bar an overlapped window would be given one anyway.
  if ((s & WS_CAPTION) != WS_CAPTION) s |= WS_POPUP;
  *style = s;
  *ex = e;
}

void recomputeFrame(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  DWORD s, e;
  frameStyles(w->props, &s, &e);
  DWORD cur = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  DWORD curEx = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
  if (cur & WS_CHILD) s &= ~WS_POPUP;
  SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>((cur & ~kFrameBits) | s));
  SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>((curEx & ~kFrameExBits) | e));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Shapes: 1 ellipse, 2 rounded rectangle, 3-29 regular polygons with
// 3..29 corners.
void applyShape(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  RECT r;
  GetWindowRect(hwnd, &r);
  int cx = r.right - r.left, cy = r.bottom - r.top;
  HRGN rgn = nullptr;
  if (w->props.shape == 1) {
    rgn = CreateEllipticRgn(0, 0, cx, cy);
  } else if (w->props.shape == 2) {
    rgn = CreateRoundRectRgn(0, 0, cx, cy, cx / 5 + 1, cy / 5 + 1);
  } else if (w->props.shape >= 3) {
    int n = w->props.shape;
    POINT pts[29];
    for (int i = 0; i < n; ++i) {
      double a = -1.5707963267948966 + 6.283185307179586 * i / n;
      pts[i].x = static_cast<LONG>(cx / 2.0 + cx / 2.0 * std::cos(a));
      pts[i].y = static_cast<LONG>(cy / 2.0 + cy / 2.0 * std::sin(a));
    }
    rgn = CreatePolygonRgn(pts, n, WINDING);
  }
  SetWindowRgn(hwnd, rgn, TRUE);  // the system owns rgn now
}

void setMovable(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  GetSystemMenu(hwnd, TRUE);  // back to the default menu
  if (!w->props.movable) DeleteMenu(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
}

void setTopmost(WindowObject* w) {
  SetWindowPos(hwndOf(w), w->props.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void showLoaded(WindowObject* w) {
  const int32_t p = w->props.position;
  ShowWindow(hwndOf(w), p == 3 ? SW_SHOWMAXIMIZED : p == 2 ? SW_SHOWMINIMIZED : SW_SHOW);
}

void applyPosition(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  if (!IsWindowVisible(hwnd)) return;
  switch (w->props.position) {
    case 0:
      // A minimised window that was maximised restores to maximised first.
      for (int i = 0; i < 2 && (IsIconic(hwnd) || IsZoomed(hwnd)); ++i) ShowWindow(hwnd, SW_RESTORE);
      ShowWindow(hwnd, SW_SHOWNORMAL);
      break;
    case 1: {
      if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
      RECT r;
      GetWindowRect(hwnd, &r);
      int cx = r.right - r.left, cy = r.bottom - r.top;
      SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - cx) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - cy) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      break;
    }
    case 2: ShowWindow(hwnd, SW_MINIMIZE); break;
    default: ShowWindow(hwnd, SW_MAXIMIZE); break;
  }
}

}  // namespace comp
