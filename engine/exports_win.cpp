// The engine's C interface over View. Handles from the application are
// checked against the live views, so stale or foreign ones read as neutral.
#include <windows.h>

#include <map>
#include <string>

#include "binding/engine_types.h"
#include "engine/connection_win.h"
#include "engine/real_exports.h"
#include "engine/script_values.h"
#include "engine/view_win.h"
#include "engine/wide_win.h"

#define ENGINE_EXPORT extern "C" __declspec(dllexport)

// Declaring the typed entries of the list makes the compiler check each
// definition below against it.
#define ENGINE_DECLARE(r, n, a) ENGINE_EXPORT r n a;
#define ENGINE_FN(r, n, a) ENGINE_PICK_TYPED(r, n)(ENGINE_DECLARE, ENGINE_SKIP)(r, n, a)
#include "binding/engine_api.inc"
#undef ENGINE_FN

// Engine strings handed to callbacks: UTF-8 with a UTF-16 copy made on demand.
struct EngineText {
  explicit EngineText(std::string s = {}) : utf8(std::move(s)) {}
  std::string utf8;
  std::wstring utf16;
  bool wide = false;
};

namespace {

using engine::Notice;
using engine::NoticeArgs;
using engine::View;
using engine::toUtf16;
using engine::toUtf8;

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
  std::string titleBuffer, urlBuffer, cookieBuffer;
  std::wstring titleBufferW, cookieBufferW;
  bool newWindows = true;
  std::map<std::string, void*> keys;  // wkeSetUserKeyValue
};

AppData& data(View& v) {
  if (!v.appData) v.appData = new AppData();
  return *static_cast<AppData*>(v.appData);
}

void setSlot(wkeWebView wv, SlotId id, void* fn, void* param) {
  if (View* v = View::find(wv)) data(*v).slots[id] = {fn, param};
}

// A text the view hands out, kept in its buffer till the next call. get may
// wait on the browser, and a callback meanwhile may close the view.
template <typename Text, typename Get>
const typename Text::value_type* handOut(wkeWebView wv, Text AppData::*buffer, Get get) {
  static const Text none;
  View* v = View::find(wv);
  if (!v) return none.c_str();
  Text text = get(*v);
  if (View::find(wv) != v) return none.c_str();
  Text& kept = data(*v).*buffer;
  kept = std::move(text);
  return kept.c_str();
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
  auto* wv = reinterpret_cast<wkeWebView>(&v);
  auto slot = [&](SlotId id) -> Slot& { return d.slots[id]; };
  EngineText s1(a.text), s2(a.text2), s3(a.text3);
  // A dialog nobody takes, or one its taker leaves to us, goes to the person.
  auto leftToPerson = [&](SlotId id) {
    // The taker may have closed the view, and its data with it.
    if (View::find(wv) != &v) {
      a.toPerson = false;
      return;
    }
    auto it = d.keys.find(ENGINE_ASK_PERSON_KEY);
    a.toPerson = !d.slots[id].fn || (it != d.keys.end() && it->second);
    if (it != d.keys.end()) d.keys.erase(it);
  };
  switch (n) {
    case Notice::DocumentReady:
      if (auto f = reinterpret_cast<wkeDocumentReady2Callback>(slot(kDocumentReady).fn))
        f(wv, slot(kDocumentReady).param, reinterpret_cast<wkeWebFrameHandle>(static_cast<intptr_t>(a.number)));
      break;
    case Notice::TitleChanged:
      if (auto f = reinterpret_cast<wkeTitleChangedCallback>(slot(kTitle).fn)) f(wv, slot(kTitle).param, &s1);
      break;
    case Notice::UrlChanged:
      if (auto f = reinterpret_cast<wkeURLChangedCallback2>(slot(kUrl).fn))
        f(wv, slot(kUrl).param, reinterpret_cast<wkeWebFrameHandle>(static_cast<intptr_t>(a.number)), &s1);
      break;
    case Notice::LoadingFinished:
      if (auto f = reinterpret_cast<wkeLoadingFinishCallback>(slot(kLoadingFinish).fn))
        f(wv, slot(kLoadingFinish).param, &s1, a.number, &s2);
      break;
    case Notice::Console:
      if (auto f = reinterpret_cast<wkeConsoleCallback>(slot(kConsole).fn))
        f(wv, slot(kConsole).param, a.number, &s1, &s2, static_cast<unsigned>(a.line), &s3);
      break;
    case Notice::Alert:
      if (auto f = reinterpret_cast<wkeAlertBoxCallback>(slot(kAlert).fn)) f(wv, slot(kAlert).param, &s1);
      leftToPerson(kAlert);
      break;
    case Notice::Confirm:
      if (auto f = reinterpret_cast<wkeConfirmBoxCallback>(slot(kConfirm).fn)) a.answer = f(wv, slot(kConfirm).param, &s1);
      leftToPerson(kConfirm);
      break;
    case Notice::Prompt:
      if (auto f = reinterpret_cast<wkePromptBoxCallback>(slot(kPrompt).fn)) {
        EngineText result(a.text2);
        a.answer = f(wv, slot(kPrompt).param, &s1, &s2, &result);
        a.text2 = result.utf8;
      }
      leftToPerson(kPrompt);
      break;
    case Notice::Navigation:
      if (auto f = reinterpret_cast<wkeNavigationCallback>(slot(kNavigation).fn))
        a.answer = f(wv, slot(kNavigation).param, a.number, &s1);
      break;
    case Notice::PaintUpdated:
      if (auto f = reinterpret_cast<wkePaintUpdatedCallback>(slot(kPaint).fn))
        f(wv, slot(kPaint).param, v.viewDC(), 0, 0, v.width(), v.height());
      break;
    case Notice::WindowClosing:
      if (auto f = reinterpret_cast<wkeWindowClosingCallback>(slot(kClosing).fn)) a.answer = f(wv, slot(kClosing).param);
      break;
    case Notice::HoverUrl:
      if (auto f = reinterpret_cast<wkeMouseOverUrlChangedCallback>(slot(kHover).fn))
        f(wv, slot(kHover).param, &s1);
      break;
    case Notice::CreateView:
      // A view that may not open windows gets none and asks nobody.
      if (auto f = reinterpret_cast<wkeCreateViewCallback>(slot(kCreateView).fn); f && d.newWindows) {
        wkeWindowFeatures wf{};
        wf.x = a.window.x;
        wf.y = a.window.y;
        wf.width = a.window.width;
        wf.height = a.window.height;
        wf.resizable = wf.scrollbarsVisible = true;
        a.created = f(wv, slot(kCreateView).param, a.number, &s1, &wf);
      }
      break;
    case Notice::Download:
      if (auto f = reinterpret_cast<wkeDownloadCallback>(slot(kDownload).fn))
        a.answer = f(wv, slot(kDownload).param, a.text.c_str());
      break;
    case Notice::UrlBegin:
      if (auto f = reinterpret_cast<wkeLoadUrlBeginCallback>(slot(kUrlBegin).fn))
        a.answer = f(wv, slot(kUrlBegin).param, a.text.c_str(),
                     reinterpret_cast<wkeNetJob>(static_cast<intptr_t>(a.number)));
      break;
    case Notice::UrlEnd:
      if (auto f = reinterpret_cast<wkeLoadUrlEndCallback>(slot(kUrlEnd).fn))
        f(wv, slot(kUrlEnd).param, a.text.c_str(), reinterpret_cast<wkeNetJob>(static_cast<intptr_t>(a.number)),
          nullptr, 0);
      break;
    case Notice::WindowDestroy:
      if (auto f = reinterpret_cast<wkeWindowDestroyCallback>(slot(kDestroy).fn)) f(wv, slot(kDestroy).param);
      break;
  }
}

void forgetAppData(View& v) {
  delete static_cast<AppData*>(v.appData);
  v.appData = nullptr;
}

}  // namespace engine

// Set-up.

// Nothing is shut down from DllMain: under the loader lock no wait is safe.
// A browser this engine started is closed with the last view, and ends with
// the process in any case (see launchBrowser).

ENGINE_EXPORT void wkeInitializeEx(const wkeSettings*) { engine::Connection::get(); }
ENGINE_EXPORT bool wkeIsInitialize() { return true; }

// Windows.

ENGINE_EXPORT wkeWebView wkeCreateWebWindow(int type, HWND parent, int x, int y, int w, int h) {
  return reinterpret_cast<wkeWebView>(View::create(type, parent, x, y, w, h));
}
ENGINE_EXPORT void wkeDestroyWebWindow(wkeWebView wv) {
  if (View* v = View::find(wv)) DestroyWindow(v->hwnd());
}
ENGINE_EXPORT HWND wkeGetWindowHandle(wkeWebView wv) {
  View* v = View::find(wv);
  return v ? v->hwnd() : nullptr;
}
ENGINE_EXPORT void wkeShowWindow(wkeWebView wv, bool show) {
  if (View* v = View::find(wv)) ShowWindow(v->hwnd(), show ? SW_SHOW : SW_HIDE);
}
ENGINE_EXPORT void wkeMoveWindow(wkeWebView wv, int x, int y, int w, int h) {
  if (View* v = View::find(wv)) MoveWindow(v->hwnd(), x, y, w, h, TRUE);
}
ENGINE_EXPORT void wkeResizeWindow(wkeWebView wv, int w, int h) {
  if (View* v = View::find(wv)) SetWindowPos(v->hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
}
ENGINE_EXPORT void wkeSetWindowTitleW(wkeWebView wv, const wchar_t* title) {
  if (View* v = View::find(wv)) SetWindowTextW(v->hwnd(), title ? title : L"");
}
ENGINE_EXPORT void wkeSetWindowTitle(wkeWebView wv, const char* title) {
  if (View* v = View::find(wv)) SetWindowTextW(v->hwnd(), toUtf16(title ? title : "").c_str());
}
ENGINE_EXPORT int wkeGetWidth(wkeWebView wv) {
  View* v = View::find(wv);
  return v ? v->width() : 0;
}
ENGINE_EXPORT int wkeGetHeight(wkeWebView wv) {
  View* v = View::find(wv);
  return v ? v->height() : 0;
}
ENGINE_EXPORT int wkeWidth(wkeWebView wv) { return wkeGetWidth(wv); }
ENGINE_EXPORT int wkeHeight(wkeWebView wv) { return wkeGetHeight(wv); }
ENGINE_EXPORT HDC wkeGetViewDC(wkeWebView wv) {
  View* v = View::find(wv);
  return v ? v->viewDC() : nullptr;
}

// Settings. Our pages always paint opaque, so these only need to be accepted.
ENGINE_EXPORT void wkeSetTransparent(wkeWebView, bool) {}
ENGINE_EXPORT void wkeSetCspCheckEnable(wkeWebView, bool) {}
ENGINE_EXPORT void wkeSetNpapiPluginsEnabled(wkeWebView, bool) {}
// Cookies and local storage live in the profile of the browser the engine
// starts, which goes in the folder named here, or in files there for a
// browser given by an endpoint.
ENGINE_EXPORT void wkeSetLocalStorageFullPath(wkeWebView, const wchar_t* path) {
  if (path) engine::Connection::get().nameStorage(path, false);
}
ENGINE_EXPORT void wkeSetCookieJarPath(wkeWebView, const wchar_t* path) {
  if (path) engine::Connection::get().nameStorage(path, true);
}
ENGINE_EXPORT void wkeSetUserKeyValue(wkeWebView wv, const char* key, void* value) {
  if (View* v = View::find(wv); v && key) data(*v).keys[key] = value;
}
ENGINE_EXPORT void* wkeGetUserKeyValue(wkeWebView wv, const char* key) {
  View* v = View::find(wv);
  if (!v || !key) return nullptr;
  auto& keys = data(*v).keys;
  auto it = keys.find(key);
  return it == keys.end() ? nullptr : it->second;
}
ENGINE_EXPORT void wkeSetNavigationToNewWindowEnable(wkeWebView wv, bool enable) {
  if (View* v = View::find(wv)) data(*v).newWindows = enable;
}
ENGINE_EXPORT void wkeSetCookieEnabled(wkeWebView wv, bool enable) {
  if (View* v = View::find(wv)) v->setCookiesEnabled(enable);
}
ENGINE_EXPORT void wkeSetUserAgent(wkeWebView wv, const char* ua) {
  if (View* v = View::find(wv)) v->setUserAgent(ua ? ua : "");
}
ENGINE_EXPORT void wkeSetUserAgentW(wkeWebView wv, const wchar_t* ua) {
  if (View* v = View::find(wv)) v->setUserAgent(toUtf8(ua));
}
ENGINE_EXPORT void wkeSetDeviceParameter(wkeWebView wv, const char* name, const char* text, int number, float) {
  if (View* v = View::find(wv)) v->setDeviceParam(name, text, number);
}

// The browser's cookie store.

ENGINE_EXPORT bool wkeIsCookieEnabled(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->cookiesEnabled();
}
ENGINE_EXPORT bool wkeCookieEnabled(wkeWebView wv) { return wkeIsCookieEnabled(wv); }
// The Cookie header of the page's address, "a=1; b=2".
ENGINE_EXPORT const char* wkeGetCookie(wkeWebView wv) {
  return handOut(wv, &AppData::cookieBuffer, [](View& v) { return v.cookies(); });
}
ENGINE_EXPORT const wchar_t* wkeGetCookieW(wkeWebView wv) {
  return handOut(wv, &AppData::cookieBufferW, [](View& v) { return toUtf16(v.cookies()); });
}
// cookie as a Set-Cookie header has it; url null or "" for the page's.
ENGINE_EXPORT void wkeSetCookie(wkeWebView wv, const char* url, const char* cookie) {
  if (View* v = View::find(wv); v && cookie) v->setCookie(url ? url : "", cookie);
}
ENGINE_EXPORT void wkeClearCookie(wkeWebView wv) {
  if (View* v = View::find(wv)) v->clearCookies(false);
}
// Each cookie of the browser, expires in seconds since 1970 (0 for a
// session cookie); a visitor returning true ends the walk.
typedef bool(ENGINE_CALL* wkeCookieVisitor)(void* params, const char* name, const char* value, const char* domain,
                                             const char* path, int secure, int httpOnly, int* expires);
ENGINE_EXPORT void wkeVisitAllCookie(wkeWebView wv, void* params, wkeCookieVisitor visitor) {
  View* v = View::find(wv);
  if (!v || !visitor) return;
  for (const engine::Json& c : v->allCookies()) {
    if (!c.is_object()) continue;
    const engine::Json& x = engine::member(c, "expires");
    double e = engine::boolField(c, "session") || !x.is_number() ? 0 : x.get<double>();
    int expires = e > 0 && e < 2147483647.0 ? static_cast<int>(e) : e > 0 ? 2147483647 : 0;
    if (visitor(params, engine::stringField(c, "name").c_str(), engine::stringField(c, "value").c_str(),
                engine::stringField(c, "domain").c_str(), engine::stringField(c, "path").c_str(),
                engine::boolField(c, "secure"), engine::boolField(c, "httpOnly"), &expires))
      break;
  }
}
// 0 clears every cookie, 1 the session cookies; 2 writes them to the kept
// file when the browser's profile is not ours (our own profile's browser
// writes its store itself); 3, reading them back, is what a new browser of
// ours does anyway.
ENGINE_EXPORT void wkePerformCookieCommand(wkeWebView wv, int command) {
  View* v = View::find(wv);
  if (!v) return;
  if (command == 0 || command == 1) v->clearCookies(command == 1);
  else if (command == 2) engine::Connection::get().keeper().saveCookies();
}

// Loading.

ENGINE_EXPORT void wkeLoadURL(wkeWebView wv, const char* url) {
  if (View* v = View::find(wv)) v->loadUrl(url ? url : "");
}
ENGINE_EXPORT void wkeLoadURLW(wkeWebView wv, const wchar_t* url) {
  if (View* v = View::find(wv)) v->loadUrl(toUtf8(url));
}
ENGINE_EXPORT void wkeLoadW(wkeWebView wv, const wchar_t* url) { wkeLoadURLW(wv, url); }
ENGINE_EXPORT void wkeLoadHTML(wkeWebView wv, const char* html) {
  if (View* v = View::find(wv)) v->loadHtml(html ? html : "");
}
ENGINE_EXPORT void wkeLoadHTMLW(wkeWebView wv, const wchar_t* html) {
  if (View* v = View::find(wv)) v->loadHtml(toUtf8(html));
}
ENGINE_EXPORT void wkeReload(wkeWebView wv) {
  if (View* v = View::find(wv)) v->reload();
}
ENGINE_EXPORT const char* wkeGetTitle(wkeWebView wv) {
  return handOut(wv, &AppData::titleBuffer, [](View& v) { return v.title(); });
}
ENGINE_EXPORT const wchar_t* wkeGetTitleW(wkeWebView wv) {
  return handOut(wv, &AppData::titleBufferW, [](View& v) { return toUtf16(v.title()); });
}
ENGINE_EXPORT const char* wkeTitle(wkeWebView wv) { return wkeGetTitle(wv); }
ENGINE_EXPORT const wchar_t* wkeTitleW(wkeWebView wv) { return wkeGetTitleW(wv); }
ENGINE_EXPORT const char* wkeGetURL(wkeWebView wv) {
  return handOut(wv, &AppData::urlBuffer, [](View& v) { return v.url(); });
}

// History and load state. Stale handles read as nothing to go to.

ENGINE_EXPORT bool wkeCanGoBack(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->history().idAt(-1);
}
ENGINE_EXPORT bool wkeCanGoForward(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->history().idAt(1);
}
ENGINE_EXPORT void wkeGoToOffset(wkeWebView wv, int offset) {
  if (View* v = View::find(wv)) v->goToEntry(v->history().idAt(offset));
}
ENGINE_EXPORT bool wkeGoBack(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->goToEntry(v->history().idAt(-1));
}
ENGINE_EXPORT bool wkeGoForward(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->goToEntry(v->history().idAt(1));
}
ENGINE_EXPORT bool wkeNavigateAtIndex(wkeWebView wv, int index) {
  View* v = View::find(wv);
  return v && v->goToEntry(v->history().idOfIndex(index));
}
ENGINE_EXPORT void wkeGoToIndex(wkeWebView wv, int index) { wkeNavigateAtIndex(wv, index); }
ENGINE_EXPORT int wkeGetNavigateIndex(wkeWebView wv) {
  View* v = View::find(wv);
  return v ? v->history().current : -1;
}
ENGINE_EXPORT void wkeStopLoading(wkeWebView wv) {
  if (View* v = View::find(wv)) v->stopLoading();
}
#define ENGINE_LOAD_STATE(name, test)            \
  ENGINE_EXPORT bool name(wkeWebView wv) {       \
    View* v = View::find(wv);                    \
    return v && v->loadState().test();          \
  }
ENGINE_LOAD_STATE(wkeIsLoading, loading)
ENGINE_LOAD_STATE(wkeIsLoadingSucceeded, succeeded)
ENGINE_LOAD_STATE(wkeIsLoadingFailed, failed)
ENGINE_LOAD_STATE(wkeIsLoadingCompleted, completed)
ENGINE_LOAD_STATE(wkeIsDocumentReady, ready)
ENGINE_LOAD_STATE(wkeIsLoaded, succeeded)
ENGINE_LOAD_STATE(wkeIsLoadFailed, failed)
ENGINE_LOAD_STATE(wkeIsLoadComplete, completed)
#undef ENGINE_LOAD_STATE

// Editing, with the system's clipboard.

#define ENGINE_EDIT(name, command)                             \
  ENGINE_EXPORT void name(wkeWebView wv) {                     \
    if (View* v = View::find(wv)) v->edit(engine::EditCommand::command); \
  }
ENGINE_EDIT(wkeSelectAll, SelectAll)
ENGINE_EDIT(wkeCopy, Copy)
ENGINE_EDIT(wkeCut, Cut)
ENGINE_EDIT(wkePaste, Paste)
ENGINE_EDIT(wkeDelete, Delete)
ENGINE_EDIT(wkeEditorSelectAll, SelectAll)
ENGINE_EDIT(wkeEditorUnSelect, Unselect)
ENGINE_EDIT(wkeEditorCopy, Copy)
ENGINE_EDIT(wkeEditorCut, Cut)
ENGINE_EDIT(wkeEditorPaste, Paste)
ENGINE_EDIT(wkeEditorDelete, Delete)
ENGINE_EDIT(wkeEditorUndo, Undo)
ENGINE_EDIT(wkeEditorRedo, Redo)
#undef ENGINE_EDIT
ENGINE_EXPORT void wkeSetContextMenuEnabled(wkeWebView wv, bool enabled) {
  if (View* v = View::find(wv)) v->setContextMenuEnabled(enabled);
}

// Focus, caret and zoom.

ENGINE_EXPORT void wkeSetFocus(wkeWebView wv) {
  if (View* v = View::find(wv)) SetFocus(v->hwnd());
}
ENGINE_EXPORT void wkeKillFocus(wkeWebView wv) {
  View* v = View::find(wv);
  if (v && GetFocus() == v->hwnd()) SetFocus(GetAncestor(v->hwnd(), GA_ROOT));
}
ENGINE_EXPORT void wkeFocus(wkeWebView wv) { wkeSetFocus(wv); }
ENGINE_EXPORT void wkeUnfocus(wkeWebView wv) { wkeKillFocus(wv); }
struct wkeRect {
  int x, y, w, h;
};
ENGINE_EXPORT wkeRect wkeGetCaretRect(wkeWebView wv) {
  View* v = View::find(wv);
  RECT r = v ? v->caretRect() : RECT{};
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
ENGINE_EXPORT wkeRect wkeGetCaret(wkeWebView wv) { return wkeGetCaretRect(wv); }
ENGINE_EXPORT void wkeSetZoomFactor(wkeWebView wv, float factor) {
  if (View* v = View::find(wv)) v->setZoom(factor);
}
ENGINE_EXPORT float wkeGetZoomFactor(wkeWebView wv) {
  View* v = View::find(wv);
  return v ? v->zoom() : 0.0f;
}
ENGINE_EXPORT float wkeZoomFactor(wkeWebView wv) { return wkeGetZoomFactor(wv); }

// Scripts. A value is a handle into the value store; 0 reads as "" and 0.

ENGINE_EXPORT jsValue wkeRunJSW(wkeWebView wv, const wchar_t* script) {
  View* v = View::find(wv);
  engine::ScriptValue r;
  if (!v || !v->runScript(toUtf8(script), r.text, r.number)) return 0;
  return values().put(std::move(r));
}
ENGINE_EXPORT jsValue wkeRunJS(wkeWebView wv, const char* script) {
  View* v = View::find(wv);
  engine::ScriptValue r;
  if (!v || !v->runScript(script ? script : "", r.text, r.number)) return 0;
  return values().put(std::move(r));
}
ENGINE_EXPORT jsExecState wkeGlobalExec(wkeWebView wv) { return reinterpret_cast<jsExecState>(View::find(wv)); }
ENGINE_EXPORT const char* jsToString(jsExecState, jsValue value) {
  const engine::ScriptValue* s = values().get(value);
  textBuffer() = s ? s->text : std::string();
  return textBuffer().c_str();
}
ENGINE_EXPORT const char* jsToTempString(jsExecState es, jsValue value) { return jsToString(es, value); }
ENGINE_EXPORT int jsToInt(jsExecState, jsValue value) {
  const engine::ScriptValue* s = values().get(value);
  return s ? s->number : 0;
}

// Engine strings.

ENGINE_EXPORT const char* wkeGetString(const EngineText* s) { return s ? s->utf8.c_str() : ""; }
ENGINE_EXPORT const wchar_t* wkeGetStringW(wkeString s) {
  if (!s) return L"";
  if (!s->wide) {
    s->utf16 = toUtf16(s->utf8);
    s->wide = true;
  }
  return s->utf16.c_str();
}
ENGINE_EXPORT void wkeSetString(EngineText* s, const char* text, size_t len) {
  if (!s) return;
  s->utf8.assign(text ? text : "", text ? len : 0);
  s->wide = false;
}
ENGINE_EXPORT void wkeSetStringW(EngineText* s, const wchar_t* text, size_t len) {
  if (!s) return;
  s->utf8 = toUtf8(std::wstring(text ? text : L"", text ? len : 0).c_str());
  s->wide = false;
}

// Notifications.

#define ENGINE_ON(name, slot, type)                                 \
  ENGINE_EXPORT void name(wkeWebView wv, type fn, void* param) {    \
    setSlot(wv, slot, reinterpret_cast<void*>(fn), param);          \
  }
ENGINE_ON(wkeOnDocumentReady2, kDocumentReady, wkeDocumentReady2Callback)
ENGINE_ON(wkeOnTitleChanged, kTitle, wkeTitleChangedCallback)
ENGINE_ON(wkeOnURLChanged2, kUrl, wkeURLChangedCallback2)
ENGINE_ON(wkeOnNavigation, kNavigation, wkeNavigationCallback)
ENGINE_ON(wkeOnCreateView, kCreateView, wkeCreateViewCallback)
ENGINE_ON(wkeOnLoadingFinish, kLoadingFinish, wkeLoadingFinishCallback)
ENGINE_ON(wkeOnConsole, kConsole, wkeConsoleCallback)
ENGINE_ON(wkeOnAlertBox, kAlert, wkeAlertBoxCallback)
ENGINE_ON(wkeOnConfirmBox, kConfirm, wkeConfirmBoxCallback)
ENGINE_ON(wkeOnPromptBox, kPrompt, wkePromptBoxCallback)
ENGINE_ON(wkeOnDownload, kDownload, wkeDownloadCallback)
ENGINE_ON(wkeOnLoadUrlBegin, kUrlBegin, wkeLoadUrlBeginCallback)
ENGINE_ON(wkeOnLoadUrlEnd, kUrlEnd, wkeLoadUrlEndCallback)
ENGINE_ON(wkeOnMouseOverUrlChanged, kHover, wkeMouseOverUrlChangedCallback)
ENGINE_ON(wkeOnWindowClosing, kClosing, wkeWindowClosingCallback)
ENGINE_ON(wkeOnWindowDestroy, kDestroy, wkeWindowDestroyCallback)
ENGINE_ON(wkeOnPaintUpdated, kPaint, wkePaintUpdatedCallback)
#undef ENGINE_ON
