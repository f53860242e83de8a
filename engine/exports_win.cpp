// The engine's C interface over View. Handles from the application are
// checked against the live views, so stale or foreign ones read as neutral.
#include <windows.h>

#include <string>

#include "engine/connection_win.h"
#include "engine/values.h"
#include "engine/view_win.h"

#define ENGINE_EXPORT extern "C" __declspec(dllexport)

namespace {

using engine::Notice;
using engine::NoticeArgs;
using engine::View;

// Engine strings handed to callbacks: UTF-8 with a UTF-16 copy made on demand.
struct EngineString {
  explicit EngineString(std::string s = {}) : utf8(std::move(s)) {}
  std::string utf8;
  std::wstring utf16;
  bool wide = false;
};

std::string toUtf8(const wchar_t* w) {
  if (!w) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string s(static_cast<size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring toUtf16(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

bool flag(int v) { return (v & 0xFF) != 0; }  // callers may pass a one-byte bool

// Callback shapes, all cdecl like the exports.
using Str = EngineString*;
using DocumentReady2Fn = void (*)(void* wv, void* param, void* frame);
using TitleFn = void (*)(void* wv, void* param, Str title);
using Url2Fn = void (*)(void* wv, void* param, void* frame, Str url);
using NavigationFn = bool (*)(void* wv, void* param, int type, Str url);
using CreateViewFn = void* (*)(void* wv, void* param, int type, Str url, const void* features);
using LoadingFinishFn = void (*)(void* wv, void* param, Str url, int result, Str reason);
using ConsoleFn = void (*)(void* wv, void* param, int level, Str message, Str source, unsigned line, Str stack);
using AlertFn = void (*)(void* wv, void* param, Str message);
using ConfirmFn = bool (*)(void* wv, void* param, Str message);
using PromptFn = bool (*)(void* wv, void* param, Str message, Str defaultValue, Str result);
using DownloadFn = bool (*)(void* wv, void* param, const char* url);
using UrlBeginFn = bool (*)(void* wv, void* param, const char* url, void* job);
using UrlEndFn = void (*)(void* wv, void* param, const char* url, void* job, void* buf, int len);
using HoverFn = void (*)(void* wv, void* param, Str url);
using ClosingFn = bool (*)(void* wv, void* param);
using DestroyFn = void (*)(void* wv, void* param);
using PaintFn = void (*)(void* wv, void* param, HDC dc, int x, int y, int cx, int cy);

struct Slot {
  void* fn = nullptr;
  void* param = nullptr;
};

enum SlotId {
  kDocumentReady, kTitle, kUrl, kNavigation, kCreateView, kLoadingFinish, kConsole, kAlert,
  kConfirm, kPrompt, kDownload, kUrlBegin, kUrlEnd, kHover, kClosing, kDestroy, kPaint, kSlotCount
};

struct AppData {
  Slot slots[kSlotCount];
  std::string titleBuffer, urlBuffer;
  std::wstring titleBufferW;
  bool newWindows = true;
  bool cookies = true;
};

AppData& data(View& v) {
  if (!v.appData) v.appData = new AppData();
  return *static_cast<AppData*>(v.appData);
}

void setSlot(void* wv, SlotId id, void* fn, void* param) {
  if (View* v = View::find(wv)) data(*v).slots[id] = {fn, param};
}

engine::ValueStore& values() {
  static engine::ValueStore store;
  return store;
}

// The text of the last jsToString stays valid until the next call.
std::string& textBuffer() {
  static std::string s;
  return s;
}

}  // namespace

namespace engine {

void notifyApp(View& v, Notice n, NoticeArgs& a) {
  if (!v.appData) return;
  AppData& d = data(v);
  void* wv = &v;
  auto slot = [&](SlotId id) -> Slot& { return d.slots[id]; };
  EngineString s1(a.text), s2(a.text2), empty;
  switch (n) {
    case Notice::DocumentReady:
      if (auto f = reinterpret_cast<DocumentReady2Fn>(slot(kDocumentReady).fn))
        f(wv, slot(kDocumentReady).param, reinterpret_cast<void*>(static_cast<intptr_t>(a.number)));
      break;
    case Notice::TitleChanged:
      if (auto f = reinterpret_cast<TitleFn>(slot(kTitle).fn)) f(wv, slot(kTitle).param, &s1);
      break;
    case Notice::UrlChanged:
      if (auto f = reinterpret_cast<Url2Fn>(slot(kUrl).fn))
        f(wv, slot(kUrl).param, reinterpret_cast<void*>(static_cast<intptr_t>(a.number)), &s1);
      break;
    case Notice::LoadingFinished:
      if (auto f = reinterpret_cast<LoadingFinishFn>(slot(kLoadingFinish).fn))
        f(wv, slot(kLoadingFinish).param, &s1, a.number, &s2);
      break;
    case Notice::Console:
      if (auto f = reinterpret_cast<ConsoleFn>(slot(kConsole).fn))
        f(wv, slot(kConsole).param, a.number, &s1, &s2, 0, &empty);
      break;
    case Notice::Alert:
      if (auto f = reinterpret_cast<AlertFn>(slot(kAlert).fn)) f(wv, slot(kAlert).param, &s1);
      break;
    case Notice::Confirm:
      if (auto f = reinterpret_cast<ConfirmFn>(slot(kConfirm).fn)) a.answer = f(wv, slot(kConfirm).param, &s1);
      break;
    case Notice::Prompt:
      if (auto f = reinterpret_cast<PromptFn>(slot(kPrompt).fn)) {
        EngineString result(a.text2);
        a.answer = f(wv, slot(kPrompt).param, &s1, &s2, &result);
        a.text2 = result.utf8;
      }
      break;
    case Notice::Navigation:
      if (auto f = reinterpret_cast<NavigationFn>(slot(kNavigation).fn))
        a.answer = f(wv, slot(kNavigation).param, a.number, &s1);
      break;
    case Notice::PaintUpdated:
      if (auto f = reinterpret_cast<PaintFn>(slot(kPaint).fn))
        f(wv, slot(kPaint).param, v.viewDC(), 0, 0, v.width(), v.height());
      break;
    case Notice::WindowClosing:
      if (auto f = reinterpret_cast<ClosingFn>(slot(kClosing).fn)) a.answer = f(wv, slot(kClosing).param);
      break;
    case Notice::WindowDestroy:
      if (auto f = reinterpret_cast<DestroyFn>(slot(kDestroy).fn)) f(wv, slot(kDestroy).param);
      break;
  }
}

void forgetAppData(View& v) {
  delete static_cast<AppData*>(v.appData);
  v.appData = nullptr;
}

}  // namespace engine

// Set-up.

ENGINE_EXPORT void wkeInitializeEx(const void*) { engine::Connection::get(); }
ENGINE_EXPORT int wkeIsInitialize() { return 1; }

// Windows.

ENGINE_EXPORT void* wkeCreateWebWindow(int type, HWND parent, int x, int y, int w, int h) {
  return View::create(type, parent, x, y, w, h);
}
ENGINE_EXPORT void wkeDestroyWebWindow(void* wv) {
  if (View* v = View::find(wv)) DestroyWindow(v->hwnd());
}
ENGINE_EXPORT HWND wkeGetWindowHandle(void* wv) {
  View* v = View::find(wv);
  return v ? v->hwnd() : nullptr;
}
ENGINE_EXPORT void wkeShowWindow(void* wv, int show) {
  if (View* v = View::find(wv)) ShowWindow(v->hwnd(), flag(show) ? SW_SHOW : SW_HIDE);
}
ENGINE_EXPORT void wkeMoveWindow(void* wv, int x, int y, int w, int h) {
  if (View* v = View::find(wv)) MoveWindow(v->hwnd(), x, y, w, h, TRUE);
}
ENGINE_EXPORT void wkeResizeWindow(void* wv, int w, int h) {
  if (View* v = View::find(wv)) SetWindowPos(v->hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
}
ENGINE_EXPORT void wkeSetWindowTitleW(void* wv, const wchar_t* title) {
  if (View* v = View::find(wv)) SetWindowTextW(v->hwnd(), title ? title : L"");
}
ENGINE_EXPORT void wkeSetWindowTitle(void* wv, const char* title) {
  if (View* v = View::find(wv)) SetWindowTextW(v->hwnd(), toUtf16(title ? title : "").c_str());
}
ENGINE_EXPORT int wkeGetWidth(void* wv) {
  View* v = View::find(wv);
  return v ? v->width() : 0;
}
ENGINE_EXPORT int wkeGetHeight(void* wv) {
  View* v = View::find(wv);
  return v ? v->height() : 0;
}
ENGINE_EXPORT HDC wkeGetViewDC(void* wv) {
  View* v = View::find(wv);
  return v ? v->viewDC() : nullptr;
}

// Settings. Our pages always paint opaque, and storage lives in the
// browser's profile, so these only need to be accepted.
ENGINE_EXPORT void wkeSetTransparent(void*, int) {}
ENGINE_EXPORT void wkeSetCspCheckEnable(void*, int) {}
ENGINE_EXPORT void wkeSetNpapiPluginsEnabled(void*, int) {}
ENGINE_EXPORT void wkeSetLocalStorageFullPath(void*, const wchar_t*) {}
ENGINE_EXPORT void wkeSetCookieJarPath(void*, const wchar_t*) {}
ENGINE_EXPORT void wkeSetNavigationToNewWindowEnable(void* wv, int enable) {
  if (View* v = View::find(wv)) data(*v).newWindows = flag(enable);
}
ENGINE_EXPORT void wkeSetCookieEnabled(void* wv, int enable) {
  if (View* v = View::find(wv)) data(*v).cookies = flag(enable);
}
ENGINE_EXPORT void wkeSetUserAgent(void* wv, const char* ua) {
  if (View* v = View::find(wv)) v->setUserAgent(ua ? ua : "");
}
ENGINE_EXPORT void wkeSetUserAgentW(void* wv, const wchar_t* ua) {
  if (View* v = View::find(wv)) v->setUserAgent(toUtf8(ua));
}
ENGINE_EXPORT void wkeSetDeviceParameter(void* wv, const char* name, const char* text, int number, float) {
  if (View* v = View::find(wv)) v->setDeviceParam(name, text, number);
}

// Loading.

ENGINE_EXPORT void wkeLoadURL(void* wv, const char* url) {
  if (View* v = View::find(wv)) v->loadUrl(url ? url : "");
}
ENGINE_EXPORT void wkeLoadURLW(void* wv, const wchar_t* url) {
  if (View* v = View::find(wv)) v->loadUrl(toUtf8(url));
}
ENGINE_EXPORT void wkeLoadW(void* wv, const wchar_t* url) { wkeLoadURLW(wv, url); }
ENGINE_EXPORT void wkeLoadHTML(void* wv, const char* html) {
  if (View* v = View::find(wv)) v->loadHtml(html ? html : "");
}
ENGINE_EXPORT void wkeLoadHTMLW(void* wv, const wchar_t* html) {
  if (View* v = View::find(wv)) v->loadHtml(toUtf8(html));
}
ENGINE_EXPORT void wkeReload(void* wv) {
  if (View* v = View::find(wv)) v->reload();
}
ENGINE_EXPORT const char* wkeGetTitle(void* wv) {
  View* v = View::find(wv);
  if (!v) return "";
  AppData& d = data(*v);
  d.titleBuffer = v->title();
  return d.titleBuffer.c_str();
}
ENGINE_EXPORT const wchar_t* wkeGetTitleW(void* wv) {
  View* v = View::find(wv);
  if (!v) return L"";
  AppData& d = data(*v);
  d.titleBufferW = toUtf16(v->title());
  return d.titleBufferW.c_str();
}
ENGINE_EXPORT const char* wkeGetURL(void* wv) {
  View* v = View::find(wv);
  if (!v) return "";
  AppData& d = data(*v);
  d.urlBuffer = v->url();
  return d.urlBuffer.c_str();
}

// Scripts. A value is a handle into the value store; 0 reads as "" and 0.

ENGINE_EXPORT int64_t wkeRunJSW(void* wv, const wchar_t* script) {
  View* v = View::find(wv);
  engine::ScriptValue r;
  if (!v || !v->runScript(toUtf8(script), r.text, r.number)) return 0;
  return values().put(std::move(r));
}
ENGINE_EXPORT int64_t wkeRunJS(void* wv, const char* script) {
  View* v = View::find(wv);
  engine::ScriptValue r;
  if (!v || !v->runScript(script ? script : "", r.text, r.number)) return 0;
  return values().put(std::move(r));
}
ENGINE_EXPORT void* wkeGlobalExec(void* wv) { return View::find(wv); }
ENGINE_EXPORT const char* jsToString(void*, int64_t value) {
  const engine::ScriptValue* s = values().get(value);
  textBuffer() = s ? s->text : std::string();
  return textBuffer().c_str();
}
ENGINE_EXPORT const char* jsToTempString(void* es, int64_t value) { return jsToString(es, value); }
ENGINE_EXPORT int jsToInt(void*, int64_t value) {
  const engine::ScriptValue* s = values().get(value);
  return s ? s->number : 0;
}

// Engine strings.

ENGINE_EXPORT const char* wkeGetString(const EngineString* s) { return s ? s->utf8.c_str() : ""; }
ENGINE_EXPORT const wchar_t* wkeGetStringW(EngineString* s) {
  if (!s) return L"";
  if (!s->wide) {
    s->utf16 = toUtf16(s->utf8);
    s->wide = true;
  }
  return s->utf16.c_str();
}
ENGINE_EXPORT void wkeSetString(EngineString* s, const char* text, size_t len) {
  if (!s) return;
  s->utf8.assign(text ? text : "", text ? len : 0);
  s->wide = false;
}
ENGINE_EXPORT void wkeSetStringW(EngineString* s, const wchar_t* text, size_t len) {
  if (!s) return;
  s->utf8 = toUtf8(std::wstring(text ? text : L"", text ? len : 0).c_str());
  s->wide = false;
}

// Notifications.

#define ENGINE_ON(name, slot)                                  \
  ENGINE_EXPORT void name(void* wv, void* fn, void* param) {  \
    setSlot(wv, slot, fn, param);                              \
  }
ENGINE_ON(wkeOnDocumentReady2, kDocumentReady)
ENGINE_ON(wkeOnTitleChanged, kTitle)
ENGINE_ON(wkeOnURLChanged2, kUrl)
ENGINE_ON(wkeOnNavigation, kNavigation)
ENGINE_ON(wkeOnCreateView, kCreateView)
ENGINE_ON(wkeOnLoadingFinish, kLoadingFinish)
ENGINE_ON(wkeOnConsole, kConsole)
ENGINE_ON(wkeOnAlertBox, kAlert)
ENGINE_ON(wkeOnConfirmBox, kConfirm)
ENGINE_ON(wkeOnPromptBox, kPrompt)
ENGINE_ON(wkeOnDownload, kDownload)
ENGINE_ON(wkeOnLoadUrlBegin, kUrlBegin)
ENGINE_ON(wkeOnLoadUrlEnd, kUrlEnd)
ENGINE_ON(wkeOnMouseOverUrlChanged, kHover)
ENGINE_ON(wkeOnWindowClosing, kClosing)
ENGINE_ON(wkeOnWindowDestroy, kDestroy)
ENGINE_ON(wkeOnPaintUpdated, kPaint)
#undef ENGINE_ON
