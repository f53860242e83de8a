// The view's window: painting, size, and mouse and key messages as page input.
#include "engine/view_win.h"

#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "engine/editing.h"
#include "engine/keys.h"
#include "engine/script.h"
#include "engine/zoom.h"

namespace engine {
namespace {

int modifiers() {
  int m = 0;
  if (GetKeyState(VK_MENU) < 0) m |= kModAlt;
  if (GetKeyState(VK_CONTROL) < 0) m |= kModCtrl;
  if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) m |= kModMeta;
  if (GetKeyState(VK_SHIFT) < 0) m |= kModShift;
  return m;
}

// Page button bits and names, by mouse message.
struct Button {
  int bit;
  const char* name;
};

Button buttonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return {1, "left"};
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return {2, "right"};
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return {4, "middle"};
  }
  return {0, "none"};
}

const char* heldButton(int buttons) {
  return buttons & 1 ? "left" : buttons & 2 ? "right" : buttons & 4 ? "middle" : "none";
}

const wchar_t kOffline[] = L"\u6d4f\u89c8\u5668\u5df2\u65ad\u5f00\uff0c\u6b63\u5728\u91cd\u65b0\u8fde\u63a5\u2026";

void paintOffline(HWND hwnd, HDC dc) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(64, 64, 64));
  DrawTextW(dc, kOffline, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

}  // namespace

// A child view's text is also its window's, for screen readers and tests;
// a pop-up's window text is its title.
void View::setOffline(bool offline) {
  if (offline == offline_ || !hwnd_) return;
  offline_ = offline;
  if (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD) SetWindowTextW(hwnd_, offline ? kOffline : L"");
  InvalidateRect(hwnd_, nullptr, FALSE);
}

// Only the last input's reply is kept: the page takes input in order.
void View::input(const char* method, const Json& params) {
  changed();
  expectPicture();
  Session* s = pageSession();
  if (!s) return;
  if (inputId_) s->forget(inputId_);
  inputId_ = s->request(method, params, sessionId_);
}

// Page input is in CSS pixels: the window's divided by the zoom.
int View::css(int px) const { return static_cast<int>(std::floor(px / zoom_)); }

void View::mouse(const char* type, LPARAM l, const char* button, int clicks) {
  input("Input.dispatchMouseEvent", {{"type", type}, {"x", css(GET_X_LPARAM(l))}, {"y", css(GET_Y_LPARAM(l))},
                                     {"modifiers", modifiers()}, {"button", button}, {"buttons", buttons_},
                                     {"clickCount", clicks}});
}

// A press keeps the mouse for the view until every button is up, so drags
// that leave the window still end in the page.
void View::press(UINT msg, LPARAM l) {
  Button b = buttonOf(msg);
  bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  SetFocus(hwnd_);
  if (!buttons_) SetCapture(hwnd_);
  buttons_ |= b.bit;
  clicks_ = dbl ? 2 : 1;
  mouse("mousePressed", l, b.name, clicks_);
}

void View::release(UINT msg, LPARAM l) {
  Button b = buttonOf(msg);
  if (!(buttons_ & b.bit)) return;  // pressed elsewhere
  buttons_ &= ~b.bit;
  mouse("mouseReleased", l, b.name, clicks_);
  if (!buttons_ && GetCapture() == hwnd_) ReleaseCapture();
}

void View::wheel(UINT msg, WPARAM w, LPARAM l) {
  POINT pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  ScreenToClient(hwnd_, &pt);
  int delta = GET_WHEEL_DELTA_WPARAM(w);
  bool across = msg == WM_MOUSEHWHEEL;
  // The message carries Ctrl and Shift as they were when the wheel turned;
  // the key state is the queue's, which may not have seen the key yet.
  const int keys = GET_KEYSTATE_WPARAM(w);
  const int mods = (modifiers() & ~(kModCtrl | kModShift)) | (keys & MK_CONTROL ? kModCtrl : 0) |
                   (keys & MK_SHIFT ? kModShift : 0);
  if (!across && mods == kModCtrl && delta) {
    setZoom(nextZoom(zoom_, delta > 0 ? ZoomKey::In : ZoomKey::Out));
    return;
  }
  input("Input.dispatchMouseEvent", {{"type", "mouseWheel"}, {"x", css(pt.x)}, {"y", css(pt.y)},
                                     {"deltaX", across ? delta : 0}, {"deltaY", across ? 0 : -delta},
                                     {"modifiers", mods}});
}

void View::key(UINT msg, WPARAM w, LPARAM l) {
  bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
  int mods = modifiers();
  int vk = static_cast<int>(w);
  if (ZoomKey z = zoomKey(vk, mods); z != ZoomKey::None) {
    if (down) setZoom(nextZoom(zoom_, z));
    return;
  }
  KeyName k = nameKey(vk, (l >> 16) & 0xFF, (l >> 24) & 1, mods);
  Json p = {{"type", down ? "rawKeyDown" : "keyUp"}, {"key", k.key}, {"code", k.code},
            {"windowsVirtualKeyCode", vk}, {"nativeVirtualKeyCode", vk}, {"location", k.location},
            {"modifiers", mods}};
  if (down) {
    if (l & (1 << 30)) p["autoRepeat"] = true;
    // Headless pages run only some editing shortcuts of their own, and
    // those on the browser's private clipboard: the selection goes to the
    // system's clipboard before the key cuts it, and a paste takes the
    // system's text (the page's paste event carries it).
    std::string command = shortcutCommand(vk, mods);
    if (command == "copy") copySelection(), command.clear();
    else if (command == "cut") command = copySelection() ? "delete" : "";
    else if (command == "paste") offerClipboard();
    if (!command.empty()) p["commands"] = Json::array({command});
    lastCode_ = k.code;
  }
  input("Input.dispatchKeyEvent", p);
}

// Characters of a key press; Backspace, Escape and Ctrl+letter come as
// control characters and are keys the page already has.
void View::typed(WPARAM w) {
  std::string text = charJoiner_.push(static_cast<unsigned>(w));
  if (text.empty()) return;
  unsigned char c = static_cast<unsigned char>(text[0]);
  if (text.size() == 1 && (c == 0x7F || (c < 0x20 && c != '\r' && c != '\t'))) return;
  std::string key = c == '\r' ? "Enter" : c == '\t' ? "Tab" : text;
  input("Input.dispatchKeyEvent", {{"type", "char"}, {"text", text}, {"unmodifiedText", text}, {"key", key},
                                   {"code", lastCode_}, {"modifiers", modifiers()}});
}

// Text from an input method goes in whole, as a browser inserts it.
void View::insertText(const std::string& text) {
  if (!text.empty()) input("Input.insertText", {{"text", text}});
}

void View::compose(LPARAM l) {
  HIMC imc = ImmGetContext(hwnd_);
  if (!imc) return;
  auto read = [imc](DWORD kind) {
    LONG bytes = ImmGetCompositionStringW(imc, kind, nullptr, 0);
    std::u16string s(bytes > 0 ? static_cast<size_t>(bytes) / 2 : 0, u'\0');
    if (bytes > 0) ImmGetCompositionStringW(imc, kind, s.data(), static_cast<DWORD>(bytes));
    return utf16ToUtf8(s);
  };
  if (l & GCS_RESULTSTR) {
    insertText(read(GCS_RESULTSTR));
  } else if (l & GCS_COMPSTR) {
    std::string text = read(GCS_COMPSTR);
    input("Input.imeSetComposition", {{"text", text}, {"selectionStart", 0}, {"selectionEnd", 0}});
  }
  ImmReleaseContext(hwnd_, imc);
}

// The input method's windows sit at the page's caret, as in a browser.
void View::placeImeWindows() {
  RECT caret = caretRect();
  HIMC imc = ImmGetContext(hwnd_);
  if (!imc || caret.bottom <= caret.top) {
    if (imc) ImmReleaseContext(hwnd_, imc);
    return;
  }
  COMPOSITIONFORM cf{};
  cf.dwStyle = CFS_POINT;
  cf.ptCurrentPos = {caret.left, caret.top};
  ImmSetCompositionWindow(imc, &cf);
  CANDIDATEFORM cand{};
  cand.dwStyle = CFS_EXCLUDE;
  cand.ptCurrentPos = {caret.left, caret.bottom};
  cand.rcArea = caret;
  ImmSetCandidateWindow(imc, &cand);
  ImmReleaseContext(hwnd_, imc);
}

void View::setCursor(int id) {
  cursor_ = id;
  POINT pt;
  if (GetCursorPos(&pt) && (GetCapture() == hwnd_ || WindowFromPoint(pt) == hwnd_))
    SetCursor(id ? LoadCursorW(nullptr, MAKEINTRESOURCEW(id)) : nullptr);
}

LRESULT CALLBACK View::windowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* v = reinterpret_cast<View*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!v) return DefWindowProcW(h, msg, w, l);
  return v->handle(msg, w, l);
}

LRESULT View::handle(UINT msg, WPARAM w, LPARAM l) {
  if (msg == pictureMessage() && msg) {
    pictureDecoded();
    return 0;
  }
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      if (offline_) {
        paintOffline(hwnd_, dc);
        EndPaint(hwnd_, &ps);
        return 0;
      }
      // Only the part asked for: most paints follow a small change.
      const RECT& r = ps.rcPaint;
      int bw = std::min<int>(r.right, dib_.width()) - r.left, bh = std::min<int>(r.bottom, dib_.height()) - r.top;
      if (bw > 0 && bh > 0) BitBlt(dc, r.left, r.top, bw, bh, dib_.dc(), r.left, r.top, SRCCOPY);
      // Until a picture of the new size comes, the rest stays page-white.
      RECT rc;
      GetClientRect(hwnd_, &rc);
      HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      RECT right = {dib_.width(), 0, rc.right, rc.bottom}, below = {0, dib_.height(), dib_.width(), rc.bottom};
      if (right.left < right.right) FillRect(dc, &right, white);
      if (below.top < below.bottom) FillRect(dc, &below, white);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SETFOCUS: case WM_KILLFOCUS:
      // Sent on, not waited for: a page held in its own dialog answers later.
      post("Runtime.evaluate", {{"expression", wrapFunctionBody(msg == WM_SETFOCUS ? kPageFocusScript
                                                                                : kPageBlurScript)}});
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      int nw = LOWORD(l), nh = HIWORD(l);
      if (nw > 0 && nh > 0 && (nw != w_ || nh != h_)) {
        w_ = nw;
        h_ = nh;
        changed();
        applyMetrics();
        expectPicture();
      }
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
      press(msg, l);
      return 0;
    case WM_LBUTTONUP: case WM_MBUTTONUP:
      release(msg, l);
      return 0;
    case WM_RBUTTONUP:
      release(msg, l);
      break;  // the default procedure asks for the context menu
    case WM_CONTEXTMENU: {
      POINT pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      if (pt.x == -1 && pt.y == -1) {  // from the keyboard: at the view's corner
        pt = {8, 8};
        ClientToScreen(hwnd_, &pt);
      }
      contextMenu(pt.x, pt.y);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(l) != hwnd_) buttons_ = 0;  // taken away: no drag goes on
      return 0;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&t) != FALSE;
      }
      mouse("mouseMoved", l, heldButton(buttons_), 0);
      return 0;
    case WM_MOUSELEAVE:
      // Off the page: hover ends. A drag keeps the mouse and ends in the page.
      tracking_ = false;
      if (!buttons_) mouse("mouseMoved", MAKELPARAM(-1, -1), "none", 0);
      return 0;
    // The mouse's back and forward buttons move in the history, as in a browser.
    case WM_XBUTTONDOWN: case WM_XBUTTONDBLCLK:
      return TRUE;
    case WM_XBUTTONUP:
      goToEntry(history().idAt(HIWORD(w) == XBUTTON1 ? -1 : 1));
      return TRUE;
    case WM_MOUSEWHEEL: case WM_MOUSEHWHEEL:
      wheel(msg, w, l);
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(l) != HTCLIENT) break;
      setCursor(cursor_);
      return TRUE;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP:
      key(msg, w, l);
      return msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP ? DefWindowProcW(hwnd_, msg, w, l) : 0;
    case WM_CHAR:
      typed(w);
      return 0;
    case WM_UNICHAR:
      if (w == UNICODE_NOCHAR) return TRUE;
      insertText(utf16ToUtf8(std::u16string(1, static_cast<char16_t>(w))));
      return 0;
    case WM_IME_CHAR:
      insertText(imeJoiner_.push(static_cast<unsigned>(w)));
      return 0;
    case WM_IME_STARTCOMPOSITION:
      placeImeWindows();
      break;
    case WM_IME_COMPOSITION:
      if (!(l & (GCS_RESULTSTR | GCS_COMPSTR))) break;
      compose(l);
      if (l & GCS_COMPSTR) placeImeWindows();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_CLOSE: {
      NoticeArgs a;
      notifyApp(Notice::WindowClosing, a);
      if (a.answer) DestroyWindow(hwnd_);
      return 0;
    }
    case WM_DESTROY: {
      // Told while the window still stands: an application that subclasses
      // it releases what the notice names once this returns.
      NoticeArgs a;
      notifyApp(Notice::WindowDestroy, a);
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
