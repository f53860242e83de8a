// Engine notifications of a browser view, raised as typed events; pop-up
// windows. The window's own messages are in view_messages_win.cpp.
#include <windows.h>

#include <cstring>

#include "browser/browser_view.h"
#include "browser/engine_loader.h"
#include "runtime/gbk.h"

namespace web {
namespace {

// A notice may come after its view was released (an engine that tells of a
// window's end late); it then reaches no view.
View* viewOf(void* param) { return liveView(param); }

std::string engineText(wkeString s) {
  const wchar_t* w = s && gEngine.wkeGetStringW ? gEngine.wkeGetStringW(s) : nullptr;
  return w ? rt::wideToGbk(w) : std::string();
}

void ENGINE_CALL onDocumentReady(wkeWebView, void* p, wkeWebFrameHandle frame) {
  ask(viewOf(p), kDocumentReady, [&](ViewEvent& e) { e.integer(int32_t(uintptr_t(frame))); });
}

void ENGINE_CALL onTitle(wkeWebView web, void* p, wkeString title) {
  View* v = viewOf(p);
  if (raisesEvents(v)) {
    ask(v, kTitleChanged, [&](ViewEvent& e) { e.text(engineText(title)); });
  } else if (v && gEngine.wkeSetWindowTitleW && gEngine.wkeGetStringW) {
    const wchar_t* w = gEngine.wkeGetStringW(title);
    gEngine.wkeSetWindowTitleW(web, w ? w : L"");
  }
}

void ENGINE_CALL onUrl(wkeWebView, void* p, wkeWebFrameHandle frame, wkeString url) {
  ask(viewOf(p), kUrlChanged, [&](ViewEvent& e) {
    e.text(engineText(url));
    e.integer(int32_t(uintptr_t(frame)));
  });
}

bool ENGINE_CALL onNavigation(wkeWebView, void* p, int type, wkeString url) {
  return ask(viewOf(p), kNavigating, [&](ViewEvent& e) {
    e.integer(type);
    e.text(engineText(url));
  });
}

wkeWebView openPopup(View* opener, const wkeWindowFeatures* features);

wkeWebView ENGINE_CALL onCreateView(wkeWebView, void* p, int type, wkeString url,
                                    const wkeWindowFeatures* features) {
  View* v = viewOf(p);
  if (!v || !v->props.allowNewWindows) return nullptr;
  bool allowed = ask(v, kNewWindow, [&](ViewEvent& e) {
    e.integer(type);
    e.text(engineText(url));
  });
  return allowed ? openPopup(v, features) : nullptr;
}

void ENGINE_CALL onLoadingFinish(wkeWebView, void* p, wkeString url, int result, wkeString reason) {
  ask(viewOf(p), kLoadingFinished, [&](ViewEvent& e) {
    e.text(engineText(url));
    e.integer(result);
    e.text(engineText(reason));
  });
}

void ENGINE_CALL onConsole(wkeWebView, void* p, int level, wkeString message, wkeString source,
                           unsigned line, wkeString stack) {
  ask(viewOf(p), kConsole, [&](ViewEvent& e) {
    e.integer(level);
    e.integer(int32_t(line));
    e.text(engineText(message));
    e.text(engineText(source));
    e.text(engineText(stack));
  });
}

// A page's dialog: the routine's answer when one ran and gave a result;
// otherwise the engine is told to ask the person with a box of its own.
template <class Fill>
bool askDialog(wkeWebView web, View* v, int32_t event, Fill fill) {
  bool answered = false;
  const bool answer = ask(v, event, fill, &answered);
  if (!answered && gEngine.wkeSetUserKeyValue)
    gEngine.wkeSetUserKeyValue(web, ENGINE_ASK_PERSON_KEY, reinterpret_cast<void*>(1));
  return answer;
}

void ENGINE_CALL onAlert(wkeWebView web, void* p, wkeString message) {
  askDialog(web, viewOf(p), kAlert, [&](ViewEvent& e) { e.text(engineText(message)); });
}

bool ENGINE_CALL onConfirm(wkeWebView web, void* p, wkeString message) {
  return askDialog(web, viewOf(p), kConfirm, [&](ViewEvent& e) { e.text(engineText(message)); });
}

bool ENGINE_CALL onPrompt(wkeWebView web, void* p, wkeString message, wkeString defaultValue,
                          wkeString) {
  return askDialog(web, viewOf(p), kPrompt, [&](ViewEvent& e) {
    e.text(engineText(message));
    e.text(engineText(defaultValue));
  });
}

bool ENGINE_CALL onDownload(wkeWebView, void* p, const char* url) {
  View* v = viewOf(p);
  if (!raisesEvents(v)) return false;
  ViewEvent e(v, kDownload);
  e.text(url ? url : "");
  e.raise();
  return e.ran && e.record.hasResult && e.resultWord() != 0;
}

bool ENGINE_CALL onUrlBegin(wkeWebView, void* p, const char* url, wkeNetJob job) {
  View* v = viewOf(p);
  if (!raisesEvents(v)) return false;
  ViewEvent e(v, kRequestBegins);
  e.text(url ? url : "");
  e.integer(int32_t(uintptr_t(job)));
  e.raise();
  return e.ran && e.answer();
}

void ENGINE_CALL onUrlEnd(wkeWebView, void* p, const char* url, wkeNetJob job, void* buf, int len) {
  ask(viewOf(p), kRequestEnds, [&](ViewEvent& e) {
    e.text(url ? url : "");
    e.integer(int32_t(uintptr_t(job)));
    e.integer(int32_t(uintptr_t(buf)));
    e.integer(len);
  });
}

void ENGINE_CALL onHover(wkeWebView, void* p, wkeString url) {
  ask(viewOf(p), kHoverUrl, [&](ViewEvent& e) { e.text(engineText(url)); });
}

bool ENGINE_CALL onClosing(wkeWebView web, void* p) {
  View* v = viewOf(p);
  if (v && v->designFlag) return false;
  return ask(v, kWindowClosing, [&](ViewEvent& e) { e.integer(int32_t(uintptr_t(web))); });
}

void ENGINE_CALL onDestroy(wkeWebView web, void* p) {
  ask(viewOf(p), kWindowDestroyed, [&](ViewEvent& e) { e.integer(int32_t(uintptr_t(web))); });
}

wkeWebView openPopup(View* opener, const wkeWindowFeatures* features) {
  int32_t left = features ? features->x : 0, top = features ? features->y : 0;
  int32_t width = features ? features->width : 0, height = features ? features->height : 0;
  HWND parent = nullptr;
  ask(opener, kPopupCreating, [&](ViewEvent& e) {
    for (void* a : {static_cast<void*>(&parent), static_cast<void*>(&left),
                    static_cast<void*>(&top), static_cast<void*>(&width),
                    static_cast<void*>(&height)})
      e.integer(int32_t(uintptr_t(a)));
  });
  if (!liveView(opener)) return nullptr;   // the routine closed the opener
  wkeWebView web = gEngine.wkeCreateWebWindow(0, parent, left, top, width, height);
  if (!web) return nullptr;
  View* popup = newView();
  popup->webView = web;
  popup->hwnd = gEngine.wkeGetWindowHandle ? gEngine.wkeGetWindowHandle(web) : nullptr;
  popup->props.allowNewWindows = opener->props.allowNewWindows;
  popup->runDir = opener->runDir;
  opener->flags |= kViewHasPopup;
  registerNotifications(popup);
  ask(opener, kPopupCreated, [&](ViewEvent& e) { e.integer(int32_t(uintptr_t(web))); });
  if (!liveView(popup)) return nullptr;    // the routine closed it again
  if (gEngine.wkeSetWindowTitleW) gEngine.wkeSetWindowTitleW(web, L"VelmoWeb浏览器");
  if (gEngine.wkeShowWindow) gEngine.wkeShowWindow(web, true);
  return web;
}

}  // namespace

ViewEvent::ViewEvent(const View* view, int32_t event) {
  std::memset(&record, 0, sizeof record);
  std::memset(pointers, 0, sizeof pointers);
  record.windowId = view->windowId;
  record.componentId = view->componentId;
  record.event = event;
}

void ViewEvent::integer(int32_t v) {
  rt::TypedArg& a = record.args[record.argc++];
  a.value.i = v;
  a.value.tag = rt::kTagInt;
}

void ViewEvent::text(std::string gbk) {
  int32_t i = record.argc++;
  texts[i] = std::move(gbk);
  pointers[i] = texts[i].empty() ? nullptr : texts[i].c_str();
  rt::TypedArg& a = record.args[i];
  a.value.w[0] = uint32_t(uintptr_t(&pointers[i]));
  a.value.tag = rt::kTagText;
  a.flags = 1;
}

bool ViewEvent::raise() {
  ran = notifyRuntime(rt::kNotifyTypedEvent, uint32_t(uintptr_t(&record)), 0) != 0;
  return ran;
}

bool ViewEvent::answer() const { return !(ran && record.hasResult && record.result[0] == 0); }

int32_t ViewEvent::resultWord() const { return int32_t(record.result[0]); }

void registerNotifications(View* v) {
  wkeWebView web = v->webView;
  EngineTable& e = gEngine;
  if (e.wkeOnDocumentReady2) e.wkeOnDocumentReady2(web, onDocumentReady, v);
  if (e.wkeOnTitleChanged) e.wkeOnTitleChanged(web, onTitle, v);
  if (e.wkeOnURLChanged2) e.wkeOnURLChanged2(web, onUrl, v);
  if (e.wkeOnNavigation) e.wkeOnNavigation(web, onNavigation, v);
  if (e.wkeOnCreateView) e.wkeOnCreateView(web, onCreateView, v);
  if (e.wkeOnLoadingFinish) e.wkeOnLoadingFinish(web, onLoadingFinish, v);
  if (e.wkeOnConsole) e.wkeOnConsole(web, onConsole, v);
  if (e.wkeOnAlertBox) e.wkeOnAlertBox(web, onAlert, v);
  if (e.wkeOnConfirmBox) e.wkeOnConfirmBox(web, onConfirm, v);
  if (e.wkeOnPromptBox) e.wkeOnPromptBox(web, onPrompt, v);
  if (e.wkeOnDownload) e.wkeOnDownload(web, onDownload, v);
  if (e.wkeOnLoadUrlBegin) e.wkeOnLoadUrlBegin(web, onUrlBegin, v);
  if (e.wkeOnLoadUrlEnd) e.wkeOnLoadUrlEnd(web, onUrlEnd, v);
  if (e.wkeOnMouseOverUrlChanged) e.wkeOnMouseOverUrlChanged(web, onHover, v);
  if (e.wkeOnWindowClosing) e.wkeOnWindowClosing(web, onClosing, v);
  if (e.wkeOnWindowDestroy) e.wkeOnWindowDestroy(web, onDestroy, v);
  if (e.wkeSetNavigationToNewWindowEnable)
    e.wkeSetNavigationToNewWindowEnable(web, v->props.allowNewWindows != 0);
  subclassEngineWindow(v);
}

}  // namespace web
