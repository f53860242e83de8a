// node.dll loaded by name and bound from the binding list, a host window
// and a message pump: how the benchmarks and the engine's tests drive the
// engine without the browser library.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

#include "binding/engine_types.h"

// node.dll loaded, or null (with a message).
inline HMODULE loadEngineDll(const wchar_t* path) {
  HMODULE m = LoadLibraryW(path);
  if (!m) std::printf("cannot load node.dll (%lu)\n", GetLastError());
  return m;
}

// One export of m into slot; false (with a message) when m lacks it.
template <class Slot>
bool bindExport(HMODULE m, Slot& slot, const char* name) {
  slot = reinterpret_cast<Slot>(reinterpret_cast<void*>(GetProcAddress(m, name)));
  if (!slot) std::printf("missing export %s\n", name);
  return slot != nullptr;
}

// One slot per export of the binding list, under the export's name and C type.
struct EngineExports {
#define ENGINE_FN(ret, name, params) ret(ENGINE_CALL* name) params;
#include "binding/engine_api.inc"
#undef ENGINE_FN
  wkeInitializeExFn wkeInitializeEx;   // outside the list, as the library binds it

  // False (with a message) when the DLL or one of the names is missing.
  bool load(const wchar_t* path) {
    HMODULE m = loadEngineDll(path);
    if (!m) return false;
    bool ok = bindExport(m, wkeInitializeEx, "wkeInitializeEx");
#define ENGINE_FN(ret, name, params) ok &= bindExport(m, name, #name);
#include "binding/engine_api.inc"
#undef ENGINE_FN
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
inline wkeWebView openLoadedView(EngineExports& e, const char* dllPath, int w, int h, const char* url,
                                 HWND* host) {
  static bool loaded;
  loaded = false;
  if (!e.load(widen(dllPath).c_str())) return nullptr;
  static const wkeSettings zeros = {};
  e.wkeInitializeEx(&zeros);
  *host = makeHostWindow(w, h);
  wkeWebView v = e.wkeCreateWebWindow(2, *host, 0, 0, w, h);
  if (!v) {
    std::printf("no web view\n");
    return nullptr;
  }
  e.wkeShowWindow(v, true);
  wkeLoadingFinishCallback finished = [](wkeWebView, void*, wkeString, int, wkeString) { loaded = true; };
  e.wkeOnLoadingFinish(v, finished, nullptr);
  e.wkeLoadURL(v, url);
  if (!pumpUntil(30000, [] { return loaded; })) {
    std::printf("page did not load\n");
    return nullptr;
  }
  return v;
}
