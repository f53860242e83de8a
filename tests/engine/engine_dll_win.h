// node.dll loaded by name, the way the browser library binds it, for the
// probe and the benchmark.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

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
  void (*setCookieJarPath)(View, const wchar_t*);

  // False (with a message) when the DLL or one of the names is missing.
  bool load(const wchar_t* path) {
    HMODULE m = LoadLibraryW(path);
    if (!m) {
      std::printf("cannot load node.dll (%lu)\n", GetLastError());
      return false;
    }
    bool ok = true;
    auto get = [&](auto& slot, const char* name) {
      slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
          reinterpret_cast<void*>(GetProcAddress(m, name)));
      if (!slot) { std::printf("missing export %s\n", name); ok = false; }
    };
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
    get(setCookieJarPath, "wkeSetCookieJarPath");
    return ok;
  }
};

// Dispatches window messages for up to ms, or until done() holds.
template <class Done>
bool pumpUntil(DWORD ms, Done done) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= ms) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

inline HWND makeHostWindow(int w, int h) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"EngineProbeHost";
  RegisterClassW(&wc);
  RECT r = {0, 0, w, h};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  return hwnd;
}

inline std::wstring widen(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  w.resize(w.size() - 1);
  return w;
}

// For the benchmarks: node.dll at dllPath (UTF-8) bound into e, and a shown
// w x h child view in a new host window with url loaded. Null (with a
// message) when a step fails or the page has not loaded within 30 s.
inline EngineDll::View openLoadedView(EngineDll& e, const char* dllPath, int w, int h, const char* url,
                                      HWND* host) {
  static bool loaded;
  loaded = false;
  if (!e.load(widen(dllPath).c_str())) return nullptr;
  static const char zeros[216] = {};
  e.initializeEx(zeros);
  *host = makeHostWindow(w, h);
  EngineDll::View v = e.createWebWindow(2, *host, 0, 0, w, h);
  if (!v) {
    std::printf("no web view\n");
    return nullptr;
  }
  e.showWindow(v, 1);
  auto finished = [](void*, void*, void*, int, void*) { loaded = true; };
  e.onLoadingFinish(v, reinterpret_cast<void*>(+finished), nullptr);
  e.loadURL(v, url);
  if (!pumpUntil(30000, [] { return loaded; })) {
    std::printf("page did not load\n");
    return nullptr;
  }
  return v;
}
