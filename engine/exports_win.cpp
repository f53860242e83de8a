// The engine's C interface over View: set-up, windows, settings, loading,
// history, editing, focus and zoom. Cookies, scripts and notices have files
// of their own beside this one.
#include "engine/connection_win.h"
#include "engine/exports_win.h"

using engine::AppData;
using engine::View;
using engine::dataOf;
using engine::handOut;
using engine::toUtf16;
using engine::toUtf8;

// Set-up.

// Nothing is shut down from DllMain: under the loader lock no wait is safe.
// A browser this engine started is closed with the last view, and ends with
// the process in any case (see launchBrowser).

ENGINE_EXPORT void wkeInitializeEx(const wkeSettings*) { engine::Connection::get(); }
ENGINE_EXPORT bool wkeIsInitialize() { return true; }

// Windows.

ENGINE_EXPORT wkeWebView wkeCreateWebWindow(int type, HWND parent, int x, int y, int w, int h) {
  return reinterpret_cast<wkeWebView>(View::create(type, parent, x, y, w, h, engine::kAppCalls));
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
// Dirty while the surface does not hold a lossless picture of the page as
// it is; marking it dirty asks for one at once, so that the next
// wkeGetViewDC need not wait for it.
ENGINE_EXPORT bool wkeIsDirty(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->pictureStale();
}
ENGINE_EXPORT void wkeSetDirty(wkeWebView wv, bool dirty) {
  if (View* v = View::find(wv); v && dirty) v->refreshPicture();
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
  if (View* v = View::find(wv); v && key) dataOf(*v).keys[key] = value;
}
ENGINE_EXPORT void* wkeGetUserKeyValue(wkeWebView wv, const char* key) {
  View* v = View::find(wv);
  if (!v || !key) return nullptr;
  auto& keys = dataOf(*v).keys;
  auto it = keys.find(key);
  return it == keys.end() ? nullptr : it->second;
}
ENGINE_EXPORT void wkeSetNavigationToNewWindowEnable(wkeWebView wv, bool enable) {
  if (View* v = View::find(wv)) dataOf(*v).newWindows = enable;
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
ENGINE_EXPORT bool wkeIsLoading(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->loading();
}
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
