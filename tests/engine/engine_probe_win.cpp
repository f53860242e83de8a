// Drives node.dll against a real browser: engine_probe <node.dll> <url> <kill-marker>.
// Prints one PASS/FAIL line per case; after "KILL-NOW" it waits for the
// marker file, which the script creates once it has killed the browser.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/engine/engine_dll_win.h"

namespace {

int failures = 0;

void report(bool ok, const char* name, const std::string& detail = "") {
  std::printf("%s: %s%s%s\n", ok ? "PASS" : "FAIL", name, detail.empty() ? "" : " -- ", detail.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

std::wstring widen(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

bool loaded = false;
void onLoadingFinish(void*, void*, void*, int, void*) { loaded = true; }

bool isRed(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool isWhite(COLORREF c) { return GetRValue(c) > 230 && GetGValue(c) > 230 && GetBValue(c) > 230; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: engine_probe <node.dll> <url> <kill-marker>\n");
    return 2;
  }
  EngineDll e{};
  if (!e.load(widen(argv[1]).c_str())) {
    report(false, "node.dll loads");
    return 1;
  }
  static const char zeros[216] = {};
  e.initializeEx(zeros);
  HWND host = makeHostWindow(1350, 800);
  EngineDll::View v = e.createWebWindow(2, host, 0, 0, 1350, 800);
  report(v && IsWindow(e.getWindowHandle(v)), "web window created");
  if (!v) return 1;
  e.showWindow(v, 1);
  e.onLoadingFinish(v, reinterpret_cast<void*>(&onLoadingFinish), nullptr);
  e.setUserAgent(v, "PaginetProbe/1.0 (Tablet)");
  e.setDeviceParameter(v, "navigator.maxTouchPoints", nullptr, 5, 0);
  e.setDeviceParameter(v, "navigator.platform", "QD-Mini", 0, 0);
  e.setDeviceParameter(v, "navigator.hardwareConcurrency", nullptr, 4, 0);
  e.setDeviceParameter(v, "screen.width", nullptr, 1820, 0);
  e.setDeviceParameter(v, "screen.height", nullptr, 980, 0);
  e.setDeviceParameter(v, "screen.availWidth", nullptr, 1819, 0);
  e.setDeviceParameter(v, "screen.availHeight", nullptr, 979, 0);
  e.loadURL(v, argv[2]);
  bool finished = pumpUntil(30000, [] { return loaded; });
  std::string title = e.getTitle(v);
  report(finished && title == "Engine Probe", "page loads", "title '" + title + "'");

  void* es = e.globalExec(v);
  int64_t r = e.runJSW(v, L"return [navigator.userAgent, navigator.platform, navigator.maxTouchPoints,"
                          L" navigator.hardwareConcurrency, screen.width, screen.height, screen.availWidth,"
                          L" screen.availHeight].join('|')");
  std::string nav = e.toString(es, r);
  report(nav == "PaginetProbe/1.0 (Tablet)|QD-Mini|5|4|1820|980|1819|979", "navigator and screen values", nav);

  r = e.runJSW(v, L"return document.title + '\\u4e2d\\u6587' // trailing comment");
  std::string text = e.toString(es, r);
  report(text == "Engine Probe\xe4\xb8\xad\xe6\x96\x87", "script text comes back as UTF-8", text);

  struct { const wchar_t* body; int number; const char* text; } ints[] = {
      {L"return 6 * 7", 42, "42"},
      {L"return '17px'", 17, "17px"},
      {L"return Promise.resolve(-3.9)", -3, "-3.9"},
      {L"return 1e12", 2147483647, "1000000000000"},
      {L"return {a: 1}", 0, "{\"a\":1}"},
      {L"return window", 0, "[object Window]"},
      {L"undefinedName.x = 1", 0, ""},
  };
  bool intsOk = true;
  std::string detail;
  for (const auto& c : ints) {
    int64_t val = e.runJSW(v, c.body);
    int n = e.toInt(es, val);
    std::string t = e.toString(es, val);
    if (n != c.number || t != c.text) {
      intsOk = false;
      detail += t + "/" + std::to_string(n) + " ";
    }
  }
  report(intsOk, "script values as text and integer", detail);

  HDC dc = e.getViewDC(v);
  COLORREF before = dc ? GetPixel(dc, 700, 500) : CLR_INVALID;
  DWORD t0 = GetTickCount();
  e.runJSW(v, L"document.getElementById('b').click()");
  COLORREF after = CLR_INVALID;
  bool turned = pumpUntil(555, [&] {
    after = GetPixel(e.getViewDC(v), 700, 500);
    return isRed(after);
  });
  DWORD took = GetTickCount() - t0;
  report(isWhite(before) && turned, "click changes the view DC within 555 ms",
         "before " + std::to_string(before) + " after " + std::to_string(after) + " in " +
             std::to_string(took) + " ms");

  std::printf("KILL-NOW\n");
  std::fflush(stdout);
  pumpUntil(30000, [&] { return GetFileAttributesW(widen(argv[3]).c_str()) != INVALID_FILE_ATTRIBUTES; });
  // Let the closed connection be noticed by the message handling first.
  pumpUntil(500, [] { return false; });
  t0 = GetTickCount();
  bool neutral = true;
  for (int i = 0; i < 3; ++i) {
    int64_t val = e.runJSW(v, L"return 5");
    neutral = neutral && val == 0 && std::strcmp(e.toString(es, val), "") == 0 && e.toInt(es, val) == 0;
    e.loadURL(v, argv[2]);
    e.getViewDC(v);
    neutral = neutral && std::strcmp(e.getTitle(v), "") == 0;
    pumpUntil(100, [] { return false; });
  }
  took = GetTickCount() - t0;
  report(neutral && took < 15000, "neutral values after the browser is gone",
         std::to_string(took) + " ms for three rounds");
  DestroyWindow(host);
  return failures ? 1 : 0;
}
