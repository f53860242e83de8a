// The window component: its window procedure, class and creation.
#include "components/window_object_win.h"

namespace comp {
namespace {

WindowObject* objectOf(HWND hwnd) {
  return reinterpret_cast<WindowObject*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void onClose(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  if (cancelled(raiseEvent(&w->base, 12)) || !IsWindow(hwnd)) return;
  if (cancelled(raiseEvent(&w->base, 1)) || !IsWindow(hwnd)) return;
  // What a modal load disabled comes back before the window goes, so the
  // activation can return to it.
  if (runtimeNotify()) runtimeNotify()(rt::kNotifyModalClosing, w->base.windowId, 0);
  DestroyWindow(hwnd);
}

BOOL CALLBACK shutDownChild(HWND child, LPARAM) {
  rt::LiveObject* obj = liveObjectOf(child);
  const rt::TypeRecord* t = obj && obj->hwnd == child ? typeRecordOf(obj->typeCode) : nullptr;
  if (t && (t->flags & rt::kTypeFlagShutdown))
    if (auto fn = reinterpret_cast<rt::ShutdownFn>(operationOf(obj, rt::kOpShutdown))) fn(obj);
  return TRUE;
}

void onDestroy(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  // Components that must end before their window goes are told first.
  EnumChildWindows(hwnd, shutDownChild, 0);
  if (!IsWindow(hwnd)) return;
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

void onSize(WindowObject* w) {
  if (w->props.shape) applyShape(w);
  if (w->picture.bitmap) InvalidateRect(hwndOf(w), nullptr, TRUE);
  raiseEvent(&w->base, 4);
}

// Mouse messages from the notification-area icon become event 9.
void onNotifyIcon(WindowObject* w, LPARAM mouse) {
  int32_t arg = mouse == WM_LBUTTONUP ? 1 : mouse == WM_LBUTTONDBLCLK ? 2
              : (mouse == WM_RBUTTONUP || mouse == WM_CONTEXTMENU) ? 3 : 0;
  if (arg) raiseEvent(&w->base, 9, 1, &arg);
}

// A window destroyed while it is still being created belongs to create(),
// which frees it; the runtime never saw it.
LRESULT onNcDestroy(WindowObject* w, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwndOf(w);
  LRESULT r = DefWindowProcW(hwnd, WM_NCDESTROY, wp, lp);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (!w->live) return r;
  notifyDestroyed(&w->base);
  releaseIcons(w);
  releasePicture(&w->picture);
  delete w;
  return r;
}

// A menu item chosen (or its shortcut pressed) raises the item's event; the
// runtime's menu keeps the item's component id as the command's data.
bool onMenuCommand(WindowObject* w, UINT command) {
  HMENU menu = GetMenu(hwndOf(w));
  MENUITEMINFOW mi = {};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_DATA;
  if (!menu || !GetMenuItemInfoW(menu, command, FALSE, &mi) || !mi.dwItemData) return false;
  rt::LiveObject item = w->base;
  item.componentId = static_cast<uint32_t>(mi.dwItemData);
  raiseEvent(&item, 0);
  return true;
}

// Over the client area, the nearest component (from the one under the
// pointer up to the window) with a mouse pointer of its own sets the shape.
bool onSetCursor(WindowObject* w, HWND under, UINT hitTest) {
  if (hitTest != HTCLIENT) return false;
  for (HWND h = under; h; h = h == hwndOf(w) ? nullptr : GetParent(h))
    if (HANDLE cursor = GetPropW(h, rt::kPointerProperty)) {
      SetCursor(static_cast<HCURSOR>(cursor));
      return true;
    }
  return false;
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
      if (onMenuCommand(w, LOWORD(wp))) return 0;
      break;
    case WM_NOTIFY:
      return reflect(reinterpret_cast<NMHDR*>(lp)->hwndFrom, msg, wp, lp);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (LRESULT r = reflect(reinterpret_cast<HWND>(lp), msg, wp, lp)) return r;
      break;
    case WM_SETCURSOR:
      if (onSetCursor(w, reinterpret_cast<HWND>(wp), LOWORD(lp))) return TRUE;
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
      onSize(w);
      return 0;
    case WM_ACTIVATE:
      windowActivate(w, LOWORD(wp) != WA_INACTIVE);
      if (!IsWindow(hwnd)) return 0;
      break;
    case WM_NCACTIVATE:
      if (w->props.keepTitleActive && IsWindowEnabled(hwnd)) return DefWindowProcW(hwnd, msg, TRUE, lp);
      break;
    case WM_SETFOCUS:
      windowSetFocus(w);
      return 0;
    case WM_KILLFOCUS:
      raiseEvent(&w->base, -8);
      return 0;
    case WM_SHOWWINDOW:
      raiseEvent(&w->base, wp ? 10 : 11);
      break;
    case rt::kMsgShowLoaded:
      showLoaded(w);
      return 1;
    case 0x8064:  // notification-area icon
      onNotifyIcon(w, lp);
      return 0;
    case WM_DESTROY:
      if (w->live) onDestroy(w);
      return 0;
    case WM_NCDESTROY:
      return onNcDestroy(w, wp, lp);
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
  if (!hwnd || !IsWindow(hwnd)) {
    // A window destroyed after WM_NCCREATE took its menu with it.
    if (menu && IsMenu(static_cast<HMENU>(menu))) DestroyMenu(static_cast<HMENU>(menu));
    delete w;
    return nullptr;
  }
  w->live = true;
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

}  // namespace

HWND hiddenOwner() {
  DWORD pid = GetCurrentProcessId(), owner = 0;
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, L"_EL_HideOwner", nullptr))) {
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

const rt::ComponentOps kWindowOps = {
  .version = 1,
  .create = create,
  .propertyChanged = windowPropertyChanged,
  .getAllPropertyData = windowGetAllPropertyData,
  .getPropertyData = windowGetPropertyData,
  .iconData = windowIconData,
  .propertyTexts = windowPropertyTexts,
};

void* RT_CALL windowInterface(int32_t op) { return rt::componentOperation(kWindowOps, op); }

}  // namespace comp
