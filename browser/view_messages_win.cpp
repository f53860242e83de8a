// Window messages of a browser view's engine window, raised as typed
// events before the engine sees them.
#include <windows.h>

#include "browser/browser_view.h"
#include "browser/engine_loader.h"
#include "browser/file_chooser.h"

namespace web {
namespace {

const wchar_t kViewProp[] = L"{B419B3FF-F46F-42E2-A836-F28452158010}";

int32_t modifiers() {
  int32_t m = 0;
  if (GetAsyncKeyState(VK_SHIFT) & 0x8000) m |= 1;
  if (GetAsyncKeyState(VK_CONTROL) & 0x8000) m |= 2;
  if (GetAsyncKeyState(VK_MENU) & 0x8000) m |= 4;
  return m;
}

bool mouseEvent(View* v, int32_t event, LPARAM lp) {
  return ask(v, event, [&](ViewEvent& e) {
    e.integer(int16_t(LOWORD(lp)));
    e.integer(int16_t(HIWORD(lp)));
    e.integer(modifiers());
  });
}

LRESULT passOn(View* v, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(reinterpret_cast<WNDPROC>(v->engineProc), hwnd, msg, wp, lp);
}

// True when a routine run by an event destroyed the window (and released
// the view) while the message was being handled.
bool gone(HWND hwnd, const View* v) { return GetPropW(hwnd, kViewProp) != v; }

// After the engine has handled WM_DESTROY: its window-destroy notice has
// come, so the view can go.
void destroyed(View* v, HWND hwnd) {
  RemovePropW(hwnd, kViewProp);
  RemovePropW(hwnd, kClosingProp);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(v->engineProc));
  // A re-created component reuses the object for its new window.
  if (v->hwnd != hwnd) return;
  if (v->flags & kViewIsComponent) notifyRuntime(rt::kNotifyDestroyed, v->windowId, v->componentId);
  unregisterView(v);
  forgetFileChooserView(v);
  releaseView(v);
}

LRESULT CALLBACK viewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* v = static_cast<View*>(GetPropW(hwnd, kViewProp));
  if (!v) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_LBUTTONDOWN: if (!mouseEvent(v, kLeftDown, lp)) return 0; break;
    case WM_LBUTTONUP: if (!mouseEvent(v, kLeftUp, lp)) return 0; break;
    case WM_LBUTTONDBLCLK: if (!mouseEvent(v, kLeftDouble, lp)) return 0; break;
    case WM_RBUTTONDOWN: if (!mouseEvent(v, kRightDown, lp)) return 0; break;
    case WM_RBUTTONUP: if (!mouseEvent(v, kRightUp, lp)) return 0; break;
    case WM_MOUSEMOVE: if (!mouseEvent(v, kMouseMoved, lp)) return 0; break;
    case rt::kMsgQueryObject:
      // The window finds its components, and the one to focus, this way.
      return (v->flags & kViewIsComponent) && v->hwnd == hwnd ? LRESULT(&v->live) : 0;
    case WM_SETFOCUS: ask(v, kFocusGained, [](ViewEvent&) {}); break;
    case WM_KILLFOCUS: ask(v, kFocusLost, [](ViewEvent&) {}); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      bool pass = ask(v, kKeyDown, [&](ViewEvent& e) {
        e.integer(int32_t(wp));
        e.integer(modifiers());
      });
      if (gone(hwnd, v)) return 0;
      LRESULT r = pass ? passOn(v, hwnd, msg, wp, lp) : 0;
      if (gone(hwnd, v)) return r;
      if (wp == VK_F5 && !v->props.disableF5 && gEngine.wkeReload) gEngine.wkeReload(v->webView);
      return r;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!ask(v, kKeyUp, [&](ViewEvent& e) {
            e.integer(int32_t(wp));
            e.integer(modifiers());
          }))
        return 0;
      break;
    case WM_CHAR:
      if (raisesEvents(v)) {
        ViewEvent e(v, kCharacter);
        e.integer(int32_t(wp));
        e.raise();
        if (e.ran && e.record.hasResult) {
          if (e.resultWord() == 0) return 0;
          wp = WPARAM(uint32_t(e.resultWord()));
        }
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      ask(v, kScrolled, [&](ViewEvent& e) {
        e.integer(HIWORD(wp));
        e.integer(modifiers());
      });
      break;
    case WM_DESTROY: {
      LRESULT r = passOn(v, hwnd, msg, wp, lp);
      destroyed(v, hwnd);
      return r;
    }
  }
  return gone(hwnd, v) ? 0 : passOn(v, hwnd, msg, wp, lp);
}

}  // namespace

void subclassEngineWindow(View* v) {
  HWND hwnd = HWND(v->hwnd);
  if (!hwnd) return;
  SetPropW(hwnd, kViewProp, HANDLE(v));
  v->engineProc = reinterpret_cast<void*>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(viewProc)));
  if (v->flags & kViewIsComponent) installFileChooser(v);
}

}  // namespace web
