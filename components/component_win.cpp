#include "components/component_win.h"
#include <commctrl.h>
#include "runtime/gbk.h"

namespace comp {
namespace {
rt::NotifyFn gNotify = nullptr;
}

void setRuntimeNotify(rt::NotifyFn fn) { gNotify = fn; }
rt::NotifyFn runtimeNotify() { return gNotify; }

rt::EventRecord raiseEvent(const rt::LiveObject* obj, int32_t event, int32_t argc,
                           const int32_t* args) {
  rt::EventRecord r = {};
  r.windowId = obj->windowId;
  r.componentId = obj->componentId;
  r.event = event;
  r.argc = argc;
  for (int32_t i = 0; i < argc && i < 5; ++i) r.args[i] = args[i];
  if (gNotify) gNotify(rt::kNotifyEvent, reinterpret_cast<uint32_t>(&r), 0);
  return r;
}

void notifyDestroyed(const rt::LiveObject* obj) {
  if (gNotify) gNotify(rt::kNotifyDestroyed, obj->windowId, obj->componentId);
}

uint8_t* runtimeBlock(const std::vector<uint8_t>& bytes, uint32_t* size) {
  *size = static_cast<uint32_t>(bytes.size());
  if (!gNotify) return nullptr;
  auto* p = reinterpret_cast<uint8_t*>(gNotify(rt::kNotifyAlloc, *size ? *size : 1, 0));
  if (p && *size) memcpy(p, bytes.data(), *size);
  return p;
}

std::wstring widen(const Bytes& gbk) { return rt::gbkToWide(gbk); }

Bytes narrow(const wchar_t* s, int len) {
  return rt::wideToGbk(len < 0 ? std::wstring_view(s) : std::wstring_view(s, size_t(len)));
}

Bytes windowTextOf(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring w(n + 1, L'\0');
  n = GetWindowTextW(hwnd, w.data(), n + 1);
  return narrow(w.c_str(), n);
}

HFONT createFont(const Bytes& data) {
  if (data.size() != kFontDataSize) return nullptr;
  LOGFONTA a;
  memcpy(&a, data.data(), sizeof a);
  LOGFONTW w;
  memcpy(&w, &a, offsetof(LOGFONTA, lfFaceName));
  size_t faceLen = strnlen(a.lfFaceName, LF_FACESIZE);
  std::wstring face = faceLen >= 1 && faceLen <= 31 ? widen(Bytes(a.lfFaceName, faceLen)) : widen("宋体");
  wcscpy(w.lfFaceName, face.c_str());
  return CreateFontIndirectW(&w);
}

HFONT defaultGuiFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

rt::LiveObject* liveObjectOf(HWND hwnd) {
  return reinterpret_cast<rt::LiveObject*>(SendMessageW(hwnd, rt::kMsgQueryObject, 0, 0));
}

int32_t recordIndexOf(const rt::LiveObject* obj) {
  return gNotify ? gNotify(rt::kNotifyRecordIndex, obj->windowId, obj->componentId) : -1;
}

uint32_t focusOrderOf(const rt::LiveObject* obj) {
  return gNotify ? uint32_t(gNotify(rt::kNotifyFocusOrder, obj->windowId, obj->componentId)) : 0;
}

const rt::TypeRecord* typeRecordOf(uint32_t typeCode) {
  if (!gNotify) return nullptr;
  return reinterpret_cast<const rt::TypeRecord*>(gNotify(rt::kNotifyTypeRecord, typeCode, 0));
}

void* operationOf(const rt::LiveObject* obj, int32_t op) {
  const rt::TypeRecord* t = obj ? typeRecordOf(obj->typeCode) : nullptr;
  return t && t->iface ? t->iface(op) : nullptr;
}

void walkPropertyTexts(rt::LiveObject* obj, const int32_t* numbers, int count,
                       PropertyTextFn fn, void* ctx) {
  auto get = reinterpret_cast<rt::GetPropertyDataFn>(operationOf(obj, rt::kOpGetPropertyData));
  auto set = reinterpret_cast<rt::PropertyChangedFn>(operationOf(obj, rt::kOpPropertyChanged));
  if (!get || !set || !fn) return;
  for (int i = 0; i < count; ++i) {
    int32_t index = numbers[i] - rt::kFirstOwnProperty;
    rt::PropValue v = {};
    if (!get(obj, index, &v)) continue;
    Bytes current = textIn(&v);
    const char* repl = fn(ctx, index, current.c_str());
    if (!repl) continue;
    Bytes copy(repl);
    rt::PropValue nv = {};
    putText(&nv, copy);
    set(obj, index, &nv, nullptr);
  }
}

bool subclass(HWND hwnd, SUBCLASSPROC proc, void* object) {
  return SetWindowSubclass(hwnd, proc, 1, reinterpret_cast<DWORD_PTR>(object)) != FALSE;
}

}  // namespace comp
