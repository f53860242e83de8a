#include <cmath>
#include "components/window_object_win.h"
#include "sound/sound.h"

namespace comp {
namespace {

constexpr DWORD kFrameBits = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                             WS_MAXIMIZEBOX | WS_POPUP;
constexpr DWORD kFrameExBits = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;

WindowObject* objectOf(HWND hwnd) {
  return reinterpret_cast<WindowObject*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}
HWND hwndOf(const WindowObject* w) { return static_cast<HWND>(w->base.hwnd); }

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

void releaseIcons(WindowObject* w) {
  if (w->ownIcons) {
    if (w->bigIcon) DestroyIcon(w->bigIcon);
    if (w->smallIcon) DestroyIcon(w->smallIcon);
  }
  w->bigIcon = w->smallIcon = nullptr;
  w->ownIcons = false;
}

void loadIcons(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  HICON oldBig = w->bigIcon, oldSmall = w->smallIcon;
  bool oldOwn = w->ownIcons;
  HICON big = nullptr, small = nullptr;
  if (!w->props.icon.empty()) {
    big = iconFromPicture(w->props.icon, GetSystemMetrics(SM_CXICON));
    small = iconFromPicture(w->props.icon, GetSystemMetrics(SM_CXSMICON));
  }
  if (big && small) {
    w->ownIcons = true;
  } else {
    if (big) DestroyIcon(big);
    if (small) DestroyIcon(small);
    uint32_t defaults[2] = {0, 0};
    if (runtimeNotify()) runtimeNotify()(rt::kNotifyDefaultIcons, reinterpret_cast<uint32_t>(defaults), 0);
    big = reinterpret_cast<HICON>(defaults[0]);
    small = reinterpret_cast<HICON>(defaults[1]);
    w->ownIcons = false;
  }
  w->bigIcon = big;
  w->smallIcon = small;
  SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  if (oldOwn) {
    if (oldBig) DestroyIcon(oldBig);
    if (oldSmall) DestroyIcon(oldSmall);
  }
}

void loadPicture(WindowObject* w) {
  releasePicture(&w->picture);
  if (!w->props.picture.empty()) decodePicture(w->props.picture, &w->picture);
}

void startMusic(WindowObject* w) {
  const Bytes& m = w->props.music;
  if (m.empty() || w->props.musicMode == 2 || !runtimeNotify()) return;
  rt::PlaySoundRequest req = {reinterpret_cast<const uint8_t*>(m.data()),
                              static_cast<uint32_t>(m.size()), w->props.musicMode == 0 ? 1 : 0};
  runtimeNotify()(rt::kNotifyPlaySound, reinterpret_cast<uint32_t>(&req), 0);
}

void stopMusic(WindowObject* w) {
  if (!w->props.music.empty()) snd::StopWavePlayers(false);
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

void paintBackground(WindowObject* w, HDC dc) {
  HWND hwnd = hwndOf(w);
  RECT rc;
  GetClientRect(hwnd, &rc);
  uint32_t c = w->props.backColour;
  HBRUSH brush = c == kSystemFaceColour ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(c & 0xFFFFFF);
  FillRect(dc, &rc, brush);
  if (c != kSystemFaceColour) DeleteObject(brush);
  const Picture& p = w->picture;
  if (!p.bitmap) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, p.bitmap);
  switch (w->props.pictureMode) {
    case 1:  // tiled
      for (int y = 0; y < rc.bottom; y += p.height)
        for (int x = 0; x < rc.right; x += p.width) BitBlt(dc, x, y, p.width, p.height, mem, 0, 0, SRCCOPY);
      break;
    case 2:  // stretched
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, p.width, p.height, SRCCOPY);
      break;
    case 3:  // centred
      BitBlt(dc, (rc.right - p.width) / 2, (rc.bottom - p.height) / 2, p.width, p.height, mem, 0, 0, SRCCOPY);
      break;
    default:  // top-left, as is
      BitBlt(dc, 0, 0, p.width, p.height, mem, 0, 0, SRCCOPY);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

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

void onSetFocus(WindowObject* w) {
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

void onActivate(WindowObject* w, bool active) {
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

void onClose(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  if (cancelled(raiseEvent(&w->base, 12)) || !IsWindow(hwnd)) return;
  if (cancelled(raiseEvent(&w->base, 1)) || !IsWindow(hwnd)) return;
  DestroyWindow(hwnd);
}

void onDestroy(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  raiseEvent(&w->base, 2);
  stopMusic(w);
  if (w->helpOpened) WinHelpW(hwnd, helpFilePath(w).c_str(), HELP_QUIT, 0);
  if (HMENU menu = GetMenu(hwnd)) {
    SetMenu(hwnd, nullptr);
    DestroyMenu(menu);
  }
}

LRESULT reflect(HWND child, UINT msg, WPARAM wp, LPARAM lp) {
  return child && IsWindow(child) ? SendMessageW(child, kReflect + msg, wp, lp) : 0;
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* w = static_cast<WindowObject*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    w->base.hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  WindowObject* w = objectOf(hwnd);
  if (!w) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case rt::kMsgQueryObject:
      return reinterpret_cast<LRESULT>(w);
    case WM_COMMAND:
      if (lp) return reflect(reinterpret_cast<HWND>(lp), msg, wp, lp);
      break;
    case WM_NOTIFY:
      return reflect(reinterpret_cast<NMHDR*>(lp)->hwndFrom, msg, wp, lp);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (LRESULT r = reflect(reinterpret_cast<HWND>(lp), msg, wp, lp)) return r;
      break;
    case WM_ERASEBKGND:
      paintBackground(w, reinterpret_cast<HDC>(wp));
      return 1;
    case WM_CLOSE:
      onClose(w);
      return 0;
    case WM_QUERYENDSESSION:
      return cancelled(raiseEvent(&w->base, 1)) ? FALSE : TRUE;
    case WM_MOVE:
      raiseEvent(&w->base, 3);
      return 0;
    case WM_SIZE:
      if (w->props.shape) applyShape(w);
      if (w->picture.bitmap) InvalidateRect(hwnd, nullptr, TRUE);
      raiseEvent(&w->base, 4);
      return 0;
    case WM_ACTIVATE:
      onActivate(w, LOWORD(wp) != WA_INACTIVE);
      if (!IsWindow(hwnd)) return 0;
      break;
    case WM_NCACTIVATE:
      if (w->props.keepTitleActive && IsWindowEnabled(hwnd)) return DefWindowProcW(hwnd, msg, TRUE, lp);
      break;
    case WM_SETFOCUS:
      onSetFocus(w);
      return 0;
    case WM_KILLFOCUS:
      raiseEvent(&w->base, -8);
      return 0;
    case WM_SHOWWINDOW:
      raiseEvent(&w->base, wp ? 10 : 11);
      break;
    case 0x8064: {  // notification-area icon
      int32_t arg = lp == WM_LBUTTONUP ? 1 : lp == WM_LBUTTONDBLCLK ? 2
                  : (lp == WM_RBUTTONUP || lp == WM_CONTEXTMENU) ? 3 : 0;
      if (arg) raiseEvent(&w->base, 9, 1, &arg);
      return 0;
    }
    case WM_DESTROY:
      onDestroy(w);
      return 0;
    case WM_NCDESTROY: {
      LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      notifyDestroyed(&w->base);
      releaseIcons(w);
      releasePicture(&w->picture);
      delete w;
      return r;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool registerClass(const std::wstring& name) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(inst, name.c_str(), &wc)) return wc.lpfnWndProc == windowProc;
  wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  return RegisterClassExW(&wc) != 0;
}

HWND hiddenOwner() {
  DWORD pid = GetCurrentProcessId(), owner = 0;
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, L"_EL_HideOwner", nullptr))) {
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

rt::LiveObject* RT_CALL create(const uint8_t* data, uint32_t size, uint32_t style, void* owner,
                               uint32_t controlId, void* menu, int32_t left, int32_t top,
                               int32_t width, int32_t height, uint32_t windowId,
                               uint32_t componentId, void* designOwner, int32_t designFlag) {
  auto* w = new WindowObject();
  if (readWindowProps(data, size, &w->props) != ReadStatus::kOk) {
    delete w;
    return nullptr;
  }
  w->base = {nullptr, windowId, componentId, rt::kTypeWindow, windowPreTranslate};
  const WindowProps& p = w->props;
  DWORD s, ex;
  frameStyles(p, &s, &ex);
  s |= style | WS_CLIPCHILDREN;
  if (p.position == 1) {
    left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  } else if (p.position == 2) {
    s |= WS_MINIMIZE;
  } else if (p.position == 3 && (s & WS_THICKFRAME)) {
    s |= WS_MAXIMIZE;
  }
  HWND ownerHwnd = static_cast<HWND>(owner);
  if (ownerHwnd) s = (s & ~WS_CHILD) | WS_POPUP;
  else if (!p.inTaskbar) ownerHwnd = hiddenOwner();
  std::wstring cls = p.className.empty() ? L"WTWindow" : widen(p.className);
  if (!registerClass(cls)) {
    if (runtimeNotify()) runtimeNotify()(rt::kNotifyReportError, reinterpret_cast<uint32_t>("注册窗口类失败"), 0);
    delete w;
    return nullptr;
  }
  HWND hwnd = CreateWindowExW(ex, cls.c_str(), widen(p.caption).c_str(), s, left, top, width, height,
                              ownerHwnd, static_cast<HMENU>(menu), GetModuleHandleW(nullptr), w);
  if (!hwnd) {
    if (menu) DestroyMenu(static_cast<HMENU>(menu));
    delete w;
    return nullptr;
  }
  recomputeFrame(w);
  RECT r;
  GetWindowRect(hwnd, &r);
  if (!IsZoomed(hwnd) && !IsIconic(hwnd) && (r.right - r.left != width || r.bottom - r.top != height))
    SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  loadIcons(w);
  loadPicture(w);
  if (p.shape) applyShape(w);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(defaultGuiFont()), FALSE);
  if (p.topmost) setTopmost(w);
  if (!p.movable) setMovable(w);
  startMusic(w);
  return &w->base;
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

int32_t RT_CALL propertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
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

int32_t RT_CALL getPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out) {
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

uint8_t* RT_CALL getAllPropertyData(rt::LiveObject* obj, uint32_t* size) {
  return runtimeBlock(writeWindowProps(reinterpret_cast<WindowObject*>(obj)->props), size);
}

const uint8_t* RT_CALL iconData(rt::LiveObject* obj, uint32_t* size) {
  const Bytes& icon = reinterpret_cast<WindowObject*>(obj)->props.icon;
  *size = static_cast<uint32_t>(icon.size());
  return icon.empty() ? nullptr : reinterpret_cast<const uint8_t*>(icon.data());
}

void RT_CALL propertyTexts(rt::LiveObject* obj, PropertyTextFn fn, void* ctx) {
  static const int32_t kTexts[] = {8 - 8, 24 - 8};
  walkPropertyTexts(obj, kTexts, 2, fn, ctx);
}

}  // namespace

void* RT_CALL windowInterface(int32_t op) {
  switch (op) {
    case rt::kOpCreate: return reinterpret_cast<void*>(create);
    case rt::kOpPropertyChanged: return reinterpret_cast<void*>(propertyChanged);
    case rt::kOpGetAllPropertyData: return reinterpret_cast<void*>(getAllPropertyData);
    case rt::kOpGetPropertyData: return reinterpret_cast<void*>(getPropertyData);
    case rt::kOpIconData: return reinterpret_cast<void*>(iconData);
    case rt::kOpPropertyTexts: return reinterpret_cast<void*>(propertyTexts);
    default: return nullptr;
  }
}

}  // namespace comp
