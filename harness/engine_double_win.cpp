// Recording engine double: exports the binding list (less two names), logs
// every call as one line and keeps the registered callbacks for the tests.
// Its windows live as the engine's do: WM_CLOSE asks the closing callback,
// the window-destroy callback comes in WM_DESTROY (or, when told to, as
// late as WM_NCDESTROY), and the view is gone after WM_NCDESTROY.
// Built without wkeCreateWebWindow and wkeGetWindowHandle as well.
#include <windows.h>
#include <commdlg.h>

#include <map>
#include <string>

#include "harness/engine_double.h"

#define DOUBLE_EXPORT extern "C" __declspec(dllexport)

namespace {

struct DView {
  HWND hwnd = nullptr;
  HDC dc = nullptr;
  std::map<std::string, DoubleCallback> callbacks;
};

struct DString {
  std::wstring text;
};

std::string gLog;
std::string gText = "";
int gNumber = 0;
bool gLateDestroy = false;

std::string utf8(const wchar_t* w) {
  if (!w) return "(null)";
  int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  return s;
}

void log(const std::string& line) { gLog += line + "\n"; }

void tellDestroyed(DView* v) {
  auto it = v->callbacks.find("wkeOnWindowDestroy");
  if (it != v->callbacks.end() && it->second.fn)
    reinterpret_cast<wkeWindowDestroyCallback>(it->second.fn)(reinterpret_cast<wkeWebView>(v),
                                                             it->second.param);
}

[[maybe_unused]] LRESULT CALLBACK viewProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* v = reinterpret_cast<DView*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (msg == WM_CHAR) log("WM_CHAR " + std::to_string(wp));
  if (msg == WM_KEYDOWN) log("WM_KEYDOWN " + std::to_string(wp));
  if (!v) return DefWindowProcW(h, msg, wp, lp);
  switch (msg) {
    case WM_CLOSE: {
      auto it = v->callbacks.find("wkeOnWindowClosing");
      bool close = true;
      if (it != v->callbacks.end() && it->second.fn)
        close = reinterpret_cast<wkeWindowClosingCallback>(it->second.fn)(
            reinterpret_cast<wkeWebView>(v), it->second.param);
      if (close) DestroyWindow(h);
      return 0;
    }
    case WM_DESTROY:
      if (!gLateDestroy) tellDestroyed(v);
      return 0;
    case WM_NCDESTROY:
      if (gLateDestroy) tellDestroyed(v);
      SetWindowLongPtrW(h, GWLP_USERDATA, 0);
      if (v->dc) DeleteDC(v->dc);
      delete v;
      break;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

HDC patternDc() {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 1335;
  info.bmiHeader.biHeight = -800;  // top-down, so row y is at y
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<uint32_t*>(bits);
  for (int y = 0; y < 800; ++y)
    for (int x = 0; x < 1335; ++x) px[y * 1335 + x] = doublePattern(x, y);
  SelectObject(dc, bmp);
  return dc;
}

DView* viewOf(wkeWebView wv) { return reinterpret_cast<DView*>(wv); }

}  // namespace

// Test controls.
DOUBLE_EXPORT const char* doubleLog() { return gLog.c_str(); }
DOUBLE_EXPORT void doubleReset() { gLog.clear(); }
DOUBLE_EXPORT void doubleSetResults(const char* text, int number) {
  gText = text ? text : "";
  gNumber = number;
}
DOUBLE_EXPORT DoubleCallback doubleCallback(wkeWebView wv, const char* registration) {
  auto it = viewOf(wv)->callbacks.find(registration);
  return it == viewOf(wv)->callbacks.end() ? DoubleCallback{nullptr, nullptr} : it->second;
}
DOUBLE_EXPORT wkeString doubleString(const wchar_t* text) {
  return reinterpret_cast<wkeString>(new DString{text});
}
DOUBLE_EXPORT void doubleSetLateDestroy(bool late) { gLateDestroy = late; }
// A page's file chooser: the dialog is asked for from inside the engine.
DOUBLE_EXPORT BOOL doubleOpenFile(OPENFILENAMEW* ofn) { return GetOpenFileNameW(ofn); }

DOUBLE_EXPORT void wkeInitializeEx(const wkeSettings* s) {
  bool zero = true;
  for (uint8_t b : s->bytes) zero = zero && b == 0;
  log(std::string("wkeInitializeEx ") + (zero ? "zero" : "nonzero"));
}

// The calls the library makes, typed as in the binding list.
DOUBLE_EXPORT bool wkeIsInitialize() { return false; }
#ifndef DOUBLE_WITHOUT_WINDOW
DOUBLE_EXPORT wkeWebView wkeCreateWebWindow(int type, EngineHwnd parent, int x, int y, int w, int h) {
  static bool registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = viewProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DoubleView";
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
  auto* v = new DView();
  DWORD style = type == 2 ? WS_CHILD : WS_OVERLAPPEDWINDOW;
  v->hwnd = CreateWindowExW(0, L"DoubleView", L"", style, x, y, w, h, HWND(parent), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(v->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
  log("wkeCreateWebWindow " + std::to_string(type) + " " + std::to_string(x) + " " +
      std::to_string(y) + " " + std::to_string(w) + " " + std::to_string(h));
  return reinterpret_cast<wkeWebView>(v);
}
DOUBLE_EXPORT EngineHwnd wkeGetWindowHandle(wkeWebView wv) { return viewOf(wv)->hwnd; }
#endif
DOUBLE_EXPORT EngineHdc wkeGetViewDC(wkeWebView wv) {
  if (!viewOf(wv)->dc) viewOf(wv)->dc = patternDc();
  return viewOf(wv)->dc;
}
DOUBLE_EXPORT void wkeShowWindow(wkeWebView, bool show) { log("wkeShowWindow " + std::to_string(show)); }
DOUBLE_EXPORT void wkeSetTransparent(wkeWebView, bool on) { log("wkeSetTransparent " + std::to_string(on)); }
DOUBLE_EXPORT void wkeSetCspCheckEnable(wkeWebView, bool on) { log("wkeSetCspCheckEnable " + std::to_string(on)); }
DOUBLE_EXPORT void wkeSetNpapiPluginsEnabled(wkeWebView, bool on) { log("wkeSetNpapiPluginsEnabled " + std::to_string(on)); }
DOUBLE_EXPORT void wkeSetNavigationToNewWindowEnable(wkeWebView, bool on) {
  log("wkeSetNavigationToNewWindowEnable " + std::to_string(on));
}
DOUBLE_EXPORT void wkeSetCookieEnabled(wkeWebView, bool on) { log("wkeSetCookieEnabled " + std::to_string(on)); }
DOUBLE_EXPORT void wkeSetUserAgent(wkeWebView, const char* ua) { log(std::string("wkeSetUserAgent ") + ua); }
DOUBLE_EXPORT void wkeSetLocalStorageFullPath(wkeWebView, const wchar_t* p) { log("wkeSetLocalStorageFullPath " + utf8(p)); }
DOUBLE_EXPORT void wkeSetCookieJarPath(wkeWebView, const wchar_t* p) { log("wkeSetCookieJarPath " + utf8(p)); }
DOUBLE_EXPORT void wkeLoadURL(wkeWebView, const char* url) { log(std::string("wkeLoadURL ") + url); }
DOUBLE_EXPORT void wkeLoadURLW(wkeWebView, const wchar_t* url) { log("wkeLoadURLW " + utf8(url)); }
DOUBLE_EXPORT void wkeLoadHTMLW(wkeWebView, const wchar_t* html) { log("wkeLoadHTMLW [" + utf8(html) + "]"); }
DOUBLE_EXPORT void wkeReload(wkeWebView) { log("wkeReload"); }
DOUBLE_EXPORT const char* wkeGetTitle(wkeWebView) { return "Title"; }
DOUBLE_EXPORT const wchar_t* wkeGetStringW(wkeString s) {
  return s ? reinterpret_cast<DString*>(s)->text.c_str() : L"";
}
DOUBLE_EXPORT void wkeSetWindowTitleW(wkeWebView, const wchar_t* t) { log("wkeSetWindowTitleW " + utf8(t)); }
DOUBLE_EXPORT jsValue wkeRunJSW(wkeWebView wv, const wchar_t* script) {
  log("wkeRunJSW " + utf8(script));
  return 0x123456789LL;
}
DOUBLE_EXPORT jsExecState wkeGlobalExec(wkeWebView wv) { return reinterpret_cast<jsExecState>(wv); }
DOUBLE_EXPORT const char* jsToString(jsExecState, jsValue v) {
  log("jsToString " + std::to_string(v));
  return gText.c_str();
}
// Loading while the number doubleSetResults set is not 0.
DOUBLE_EXPORT bool wkeIsLoading(wkeWebView) {
  log("wkeIsLoading");
  return gNumber != 0;
}
// Dirty, like loading, while that number is not 0.
DOUBLE_EXPORT bool wkeIsDirty(wkeWebView) {
  log("wkeIsDirty");
  return gNumber != 0;
}
DOUBLE_EXPORT void wkeSetDirty(wkeWebView, bool dirty) { log("wkeSetDirty " + std::to_string(dirty)); }
DOUBLE_EXPORT int jsToInt(jsExecState, jsValue v) {
  log("jsToInt " + std::to_string(v));
  return gNumber;
}
DOUBLE_EXPORT void wkeSetDeviceParameter(wkeWebView, const char* name, const char* text, int n, float f) {
  log(std::string("wkeSetDeviceParameter ") + name + " " + (text ? text : "(null)") + " " +
      std::to_string(n) + " " + std::to_string(int(f * 100)));
}

#define DOUBLE_REGISTRATION(name)                                          \
  DOUBLE_EXPORT void name(wkeWebView wv, void* fn, void* param) {          \
    viewOf(wv)->callbacks[#name] = {fn, param};                            \
    log(#name);                                                            \
  }
DOUBLE_REGISTRATION(wkeOnDocumentReady2)
DOUBLE_REGISTRATION(wkeOnTitleChanged)
DOUBLE_REGISTRATION(wkeOnURLChanged2)
DOUBLE_REGISTRATION(wkeOnNavigation)
DOUBLE_REGISTRATION(wkeOnCreateView)
DOUBLE_REGISTRATION(wkeOnLoadingFinish)
DOUBLE_REGISTRATION(wkeOnConsole)
DOUBLE_REGISTRATION(wkeOnAlertBox)
DOUBLE_REGISTRATION(wkeOnConfirmBox)
DOUBLE_REGISTRATION(wkeOnPromptBox)
DOUBLE_REGISTRATION(wkeOnDownload)
DOUBLE_REGISTRATION(wkeOnLoadUrlBegin)
DOUBLE_REGISTRATION(wkeOnLoadUrlEnd)
DOUBLE_REGISTRATION(wkeOnMouseOverUrlChanged)
DOUBLE_REGISTRATION(wkeOnWindowClosing)
DOUBLE_REGISTRATION(wkeOnWindowDestroy)
DOUBLE_REGISTRATION(wkeOnPaintUpdated)

// Everything else: logged by name, answering the zero value.
#include "harness/double_defined.h"
#define DOUBLE_CAT_(a, b) a##b
#define DOUBLE_CAT(a, b) DOUBLE_CAT_(a, b)
#define DOUBLE_CHECK_N(x, n, ...) n
#define DOUBLE_CHECK(...) DOUBLE_CHECK_N(__VA_ARGS__, 0, )
#define DOUBLE_IS_DEFINED(name) DOUBLE_CHECK(DOUBLE_CAT(DOUBLE_DEFINED_, name))
#define DOUBLE_IF_0(defined, stub) stub
#define DOUBLE_IF_1(defined, stub) defined
#define DOUBLE_PICK(name) DOUBLE_CAT(DOUBLE_IF_, DOUBLE_IS_DEFINED(name))
#define DOUBLE_SKIP(r, n, a)
#define DOUBLE_STUB(r, n, a) \
  DOUBLE_EXPORT r n a {      \
    log(#n);                 \
    return r();              \
  }
#define ENGINE_FN(r, n, a) DOUBLE_PICK(n)(DOUBLE_SKIP, DOUBLE_STUB)(r, n, a)
#include "binding/engine_api.inc"
#undef ENGINE_FN
