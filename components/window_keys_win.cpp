#include <shlwapi.h>
#include "components/window_object_win.h"

namespace comp {
namespace {

bool isDefaultButton(rt::LiveObject* obj) {
  auto fn = reinterpret_cast<rt::IsDefaultButtonFn>(operationOf(obj, rt::kOpIsDefaultButton));
  return fn && fn(obj);
}

struct DefaultSearch {
  rt::LiveObject* found;
  int32_t index;   // record position of found
  int id;          // its control id
};

// The first default button in record order. Records are created last
// first, so among records the runtime cannot place the highest control id
// is the earliest.
BOOL CALLBACK findDefault(HWND child, LPARAM lp) {
  auto* s = reinterpret_cast<DefaultSearch*>(lp);
  rt::LiveObject* obj = liveObjectOf(child);
  if (!obj || obj->hwnd != child || !isDefaultButton(obj)) return TRUE;
  const int32_t index = recordIndexOf(obj);
  const int id = GetDlgCtrlID(child);
  if (!s->found || index < s->index || (index == s->index && id > s->id)) *s = {obj, index, id};
  return TRUE;
}

// A window that is no component of ours (an embedded browser's) is asked
// the way the dialog manager asks: one that wants every key keeps Tab and
// Return for itself.
bool wantsKey(HWND focus, const MSG* msg) {
  rt::LiveObject* obj = focus ? liveObjectOf(focus) : nullptr;
  if (focus && !obj)
    return (SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) & DLGC_WANTALLKEYS) != 0;
  auto fn = reinterpret_cast<rt::WantsKeyFn>(operationOf(obj, rt::kOpWantsKey));
  return fn && fn(obj, static_cast<UINT>(msg->wParam));
}

bool handleKey(WindowObject* w, const MSG* msg) {
  HWND hwnd = static_cast<HWND>(w->base.hwnd);
  HWND focus = GetFocus();
  UINT key = static_cast<UINT>(msg->wParam);
  if (wantsKey(focus, msg)) return false;
  switch (key) {
    case VK_TAB:
      moveFocus(w, focus, GetKeyState(VK_SHIFT) < 0);
      return true;
    case VK_RETURN: {
      rt::LiveObject* focused = focus ? liveObjectOf(focus) : nullptr;
      if (focused && isDefaultButton(focused)) {
        raiseEvent(focused, 0);
        return true;
      }
      if (w->props.enterMovesFocus) {
        moveFocus(w, focus, false);
        return true;
      }
      DefaultSearch s = {nullptr, 0, 0};
      EnumChildWindows(hwnd, findDefault, reinterpret_cast<LPARAM>(&s));
      if (!s.found) return false;
      raiseEvent(s.found, 0);
      return true;
    }
    case VK_ESCAPE:
      if (!w->props.escCloses) return false;
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
      return true;
    case VK_F1: {
      if (!w->props.f1Help) return false;
      std::wstring file = helpFilePath(w);
      if (!PathFileExistsW(file.c_str())) return false;
      if (w->props.helpContext)
        WinHelpW(hwnd, file.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(w->props.helpContext));
      else
        WinHelpW(hwnd, file.c_str(), HELP_CONTENTS, 0);
      w->helpOpened = true;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::wstring helpFilePath(const WindowObject* w) {
  if (!w->props.helpFile.empty()) return widen(w->props.helpFile);
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  size_t dot = p.find_last_of(L".\\/");
  if (dot != std::wstring::npos && p[dot] == L'.') p.resize(dot);
  return p + L".hlp";
}

void moveFocus(WindowObject* w, HWND from, bool backwards) {
  HWND hwnd = static_cast<HWND>(w->base.hwnd);
  HWND next = GetNextDlgTabItem(hwnd, from && IsChild(hwnd, from) ? from : nullptr, backwards);
  if (next) SetFocus(next);
}

// The component the message is for (itself or the nearest component
// holding its window) may consume it when its type filters messages.
bool filtered(HWND hwnd, MSG* msg) {
  for (HWND h = msg->hwnd; h && h != hwnd; h = GetParent(h)) {
    rt::LiveObject* obj = liveObjectOf(h);
    if (!obj || obj->hwnd != h) continue;
    const rt::TypeRecord* t = typeRecordOf(obj->typeCode);
    if (!t || !(t->flags & rt::kTypeFlagMessageFilter)) return false;
    auto fn = reinterpret_cast<rt::MessageFilterFn>(operationOf(obj, rt::kOpMessageFilter));
    return fn && fn(obj, msg);
  }
  return false;
}

int32_t RT_CALL windowPreTranslate(rt::LiveObject* self, void* m) {
  auto* w = reinterpret_cast<WindowObject*>(self);
  auto* msg = static_cast<MSG*>(m);
  HWND hwnd = static_cast<HWND>(self->hwnd);
  if (!msg || !hwnd || (msg->hwnd != hwnd && !IsChild(hwnd, msg->hwnd))) return 0;
  bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
  if (keyboard && !IsWindowEnabled(msg->hwnd)) return 0;
  if (keyboard)
    if (HANDLE accel = GetPropW(hwnd, rt::kAcceleratorProperty))
      if (TranslateAcceleratorW(hwnd, static_cast<HACCEL>(accel), msg)) return 1;
  if (filtered(hwnd, msg)) return 1;
  if (msg->message == WM_LBUTTONDOWN && w->props.dragByClient) {
    rt::LiveObject* target = msg->hwnd == hwnd ? nullptr : liveObjectOf(msg->hwnd);
    const rt::TypeRecord* t = target ? typeRecordOf(target->typeCode) : nullptr;
    if (msg->hwnd == hwnd || (t && (t->flags & 0x4000000))) {
      ReleaseCapture();
      SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      return 1;
    }
  }
  if (msg->message == WM_KEYDOWN) return handleKey(w, msg) ? 1 : 0;
  return 0;
}

}  // namespace comp
