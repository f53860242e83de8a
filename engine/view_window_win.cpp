// The view's window: painting, size, and mouse and key messages as page input.
#include <windowsx.h>

#include "engine/view_win.h"

namespace engine {
namespace {

int modifiers() {
  int m = 0;
  if (GetKeyState(VK_MENU) < 0) m |= 1;
  if (GetKeyState(VK_CONTROL) < 0) m |= 2;
  if (GetKeyState(VK_SHIFT) < 0) m |= 8;
  return m;
}

}  // namespace

void View::mouse(const char* type, LPARAM l, const char* button, int clicks) {
  Json p = {{"type", type}, {"x", GET_X_LPARAM(l)}, {"y", GET_Y_LPARAM(l)}, {"modifiers", modifiers()},
            {"button", button}, {"buttons", buttons_}, {"clickCount", clicks}};
  stale_ = true;
  post("Input.dispatchMouseEvent", p);
}

LRESULT CALLBACK View::windowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* v = reinterpret_cast<View*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!v) return DefWindowProcW(h, msg, w, l);
  return v->handle(msg, w, l);
}

LRESULT View::handle(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      BitBlt(dc, 0, 0, dib_.width(), dib_.height(), dib_.dc(), 0, 0, SRCCOPY);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      int nw = LOWORD(l), nh = HIWORD(l);
      if (nw > 0 && nh > 0 && (nw != w_ || nh != h_)) {
        w_ = nw;
        h_ = nh;
        stale_ = true;
        applyMetrics();
      }
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      SetFocus(hwnd_);
      buttons_ |= 1;
      mouse("mousePressed", l, "left", msg == WM_LBUTTONDBLCLK ? 2 : 1);
      return 0;
    case WM_LBUTTONUP:
      buttons_ &= ~1;
      mouse("mouseReleased", l, "left", 1);
      return 0;
    case WM_RBUTTONDOWN:
      buttons_ |= 2;
      mouse("mousePressed", l, "right", 1);
      return 0;
    case WM_RBUTTONUP:
      buttons_ &= ~2;
      mouse("mouseReleased", l, "right", 1);
      return 0;
    case WM_MOUSEMOVE:
      mouse("mouseMoved", l, "none", 0);
      return 0;
    case WM_MOUSEWHEEL: {
      POINT pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(hwnd_, &pt);
      stale_ = true;
      post("Input.dispatchMouseEvent", {{"type", "mouseWheel"}, {"x", pt.x}, {"y", pt.y}, {"deltaX", 0},
                                        {"deltaY", -GET_WHEEL_DELTA_WPARAM(w)}, {"modifiers", modifiers()}});
      return 0;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
      bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
      stale_ = true;
      post("Input.dispatchKeyEvent", {{"type", down ? "rawKeyDown" : "keyUp"},
                                      {"windowsVirtualKeyCode", static_cast<int>(w)},
                                      {"nativeVirtualKeyCode", static_cast<int>(w)},
                                      {"modifiers", modifiers()}});
      return msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP ? DefWindowProcW(hwnd_, msg, w, l) : 0;
    }
    case WM_CHAR: {
      if (w < 0x20 && w != '\r' && w != '\t') return 0;
      wchar_t ch[2] = {static_cast<wchar_t>(w), 0};
      char utf8[8] = {};
      WideCharToMultiByte(CP_UTF8, 0, ch, 1, utf8, sizeof utf8, nullptr, nullptr);
      stale_ = true;
      post("Input.dispatchKeyEvent", {{"type", "char"}, {"text", utf8}, {"modifiers", modifiers()}});
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_CLOSE: {
      NoticeArgs a;
      notifyApp(*this, Notice::WindowClosing, a);
      if (a.answer) DestroyWindow(hwnd_);
      return 0;
    }
    case WM_DESTROY: {
      // Told while the window still stands: an application that subclasses
      // it releases what the notice names once this returns.
      NoticeArgs a;
      notifyApp(*this, Notice::WindowDestroy, a);
      return 0;
    }
    case WM_NCDESTROY: {
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      LRESULT r = DefWindowProcW(hwnd_, msg, w, l);
      hwnd_ = nullptr;
      destroy();
      return r;
    }
  }
  return DefWindowProcW(hwnd_, msg, w, l);
}

}  // namespace engine
