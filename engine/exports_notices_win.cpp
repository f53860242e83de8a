// What the engine tells the application: the callbacks it registers per
// view, called with engine strings.
#include "engine/exports_win.h"

namespace engine {

AppData& dataOf(View& v) {
  if (!v.appData) v.appData = new AppData();
  return *static_cast<AppData*>(v.appData);
}

namespace {

void notifyApp(View& v, Notice n, NoticeArgs& a) {
  if (!v.appData) return;
  AppData& d = dataOf(v);
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

}  // namespace

const AppCalls kAppCalls = {
    .notify = notifyApp,
    .forget = forgetAppData,
};

}  // namespace engine

namespace {

void setSlot(wkeWebView wv, engine::SlotId id, void* fn, void* param) {
  if (engine::View* v = engine::View::find(wv)) engine::dataOf(*v).slots[id] = {fn, param};
}

}  // namespace

// Engine strings.

ENGINE_EXPORT const char* wkeGetString(const EngineText* s) { return s ? s->utf8.c_str() : ""; }
ENGINE_EXPORT const wchar_t* wkeGetStringW(wkeString s) {
  if (!s) return L"";
  if (!s->wide) {
    s->utf16 = engine::toUtf16(s->utf8);
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
  s->utf8 = engine::toUtf8(std::wstring(text ? text : L"", text ? len : 0).c_str());
  s->wide = false;
}

// Notifications.

#define ENGINE_ON(name, slot, type)                                 \
  ENGINE_EXPORT void name(wkeWebView wv, type fn, void* param) {    \
    setSlot(wv, engine::slot, reinterpret_cast<void*>(fn), param);  \
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
