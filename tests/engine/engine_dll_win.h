// node.dll loaded by name for the probe, which calls exports the binding
// list leaves without a C type; the host window and the pump are shared.
#pragma once
#include <windows.h>

#include <cstdint>

#include "harness/engine_exports_win.h"

struct EngineDll {
  using View = void*;
  struct Rect {
    int x, y, w, h;
  };
  void (*initializeEx)(const void*);
  View (*createWebWindow)(int, HWND, int, int, int, int);
  void (*showWindow)(View, int);
  HWND (*getWindowHandle)(View);
  void (*loadURL)(View, const char*);
  void (*setUserAgent)(View, const char*);
  void (*setDeviceParameter)(View, const char*, const char*, int, float);
  int64_t (*runJSW)(View, const wchar_t*);
  void* (*globalExec)(View);
  const char* (*toString)(void*, int64_t);
  int (*toInt)(void*, int64_t);
  HDC (*getViewDC)(View);
  bool (*isDirty)(View);
  void (*setDirty)(View, bool);
  const char* (*getTitle)(View);
  void (*onLoadingFinish)(View, void*, void*);
  void (*onWindowDestroy)(View, void*, void*);
  void (*onTitleChanged)(View, void*, void*);
  void (*onMouseOverUrlChanged)(View, void*, void*);
  void (*onCreateView)(View, void*, void*);
  void (*onDownload)(View, void*, void*);
  void (*setNavigationToNewWindowEnable)(View, bool);
  void (*setCookieEnabled)(View, bool);
  const char* (*getCookie)(View);
  void (*setCookie)(View, const char*, const char*);
  void (*clearCookie)(View);
  void (*visitAllCookie)(View, void*, void*);
  void (*performCookieCommand)(View, int);
  const char* (*getString)(void*);
  void (*onAlertBox)(View, void*, void*);
  void (*onConfirmBox)(View, void*, void*);
  void (*onLoadUrlBegin)(View, void*, void*);
  void (*onLoadUrlEnd)(View, void*, void*);
  void (*onConsole)(View, void*, void*);
  const char* (*getURL)(View);
  bool (*canGoBack)(View);
  bool (*goBack)(View);
  bool (*canGoForward)(View);
  void (*goToOffset)(View, int);
  bool (*navigateAtIndex)(View, int);
  int (*getNavigateIndex)(View);
  bool (*isLoading)(View);
  bool (*isLoadingCompleted)(View);
  bool (*isDocumentReady)(View);
  void (*editorCopy)(View);
  void (*editorDelete)(View);
  void (*editorPaste)(View);
  void (*setZoomFactor)(View, float);
  float (*getZoomFactor)(View);
  Rect (*getCaretRect)(View);
  void (*setContextMenuEnabled)(View, bool);
  void (*setCookieJarPath)(View, const wchar_t*);

  // False (with a message) when the DLL or one of the names is missing.
  bool load(const wchar_t* path) {
    HMODULE m = loadEngineDll(path);
    if (!m) return false;
    bool ok = true;
    auto get = [&](auto& slot, const char* name) { ok &= bindExport(m, slot, name); };
    get(initializeEx, "wkeInitializeEx");
    get(createWebWindow, "wkeCreateWebWindow");
    get(showWindow, "wkeShowWindow");
    get(getWindowHandle, "wkeGetWindowHandle");
    get(loadURL, "wkeLoadURL");
    get(setUserAgent, "wkeSetUserAgent");
    get(setDeviceParameter, "wkeSetDeviceParameter");
    get(runJSW, "wkeRunJSW");
    get(globalExec, "wkeGlobalExec");
    get(toString, "jsToString");
    get(toInt, "jsToInt");
    get(getViewDC, "wkeGetViewDC");
    get(isDirty, "wkeIsDirty");
    get(setDirty, "wkeSetDirty");
    get(getTitle, "wkeGetTitle");
    get(onLoadingFinish, "wkeOnLoadingFinish");
    get(onWindowDestroy, "wkeOnWindowDestroy");
    get(onTitleChanged, "wkeOnTitleChanged");
    get(onMouseOverUrlChanged, "wkeOnMouseOverUrlChanged");
    get(onCreateView, "wkeOnCreateView");
    get(onDownload, "wkeOnDownload");
    get(setNavigationToNewWindowEnable, "wkeSetNavigationToNewWindowEnable");
    get(setCookieEnabled, "wkeSetCookieEnabled");
    get(getCookie, "wkeGetCookie");
    get(setCookie, "wkeSetCookie");
    get(clearCookie, "wkeClearCookie");
    get(visitAllCookie, "wkeVisitAllCookie");
    get(performCookieCommand, "wkePerformCookieCommand");
    get(getString, "wkeGetString");
    get(onAlertBox, "wkeOnAlertBox");
    get(onConfirmBox, "wkeOnConfirmBox");
    get(onLoadUrlBegin, "wkeOnLoadUrlBegin");
    get(onLoadUrlEnd, "wkeOnLoadUrlEnd");
    get(onConsole, "wkeOnConsole");
    get(getURL, "wkeGetURL");
    get(canGoBack, "wkeCanGoBack");
    get(goBack, "wkeGoBack");
    get(canGoForward, "wkeCanGoForward");
    get(goToOffset, "wkeGoToOffset");
    get(navigateAtIndex, "wkeNavigateAtIndex");
    get(getNavigateIndex, "wkeGetNavigateIndex");
    get(isLoading, "wkeIsLoading");
    get(isLoadingCompleted, "wkeIsLoadingCompleted");
    get(isDocumentReady, "wkeIsDocumentReady");
    get(editorCopy, "wkeEditorCopy");
    get(editorDelete, "wkeEditorDelete");
    get(editorPaste, "wkeEditorPaste");
    get(setZoomFactor, "wkeSetZoomFactor");
    get(getZoomFactor, "wkeGetZoomFactor");
    get(getCaretRect, "wkeGetCaretRect");
    get(setContextMenuEnabled, "wkeSetContextMenuEnabled");
    get(setCookieJarPath, "wkeSetCookieJarPath");
    return ok;
  }
};
