// engine_bench <node.dll> <url>: DOM change to changed view DC latency, and
// the cost of wkeGetViewDC + BitBlt of 1350 x 800.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/engine_exports_win.h"

namespace {

double ms(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void print(const char* what, std::vector<double> v) {
  if (v.empty()) {
    std::printf("%s: no samples\n", what);
    return;
  }
  std::sort(v.begin(), v.end());
  std::printf("%s: median %.1f ms, max %.1f ms over %zu\n", what, v[v.size() / 2], v.back(), v.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  EngineExports e{};
  const int w = 1350, h = 800;
  HWND host = nullptr;
  wkeWebView v = openLoadedView(e, argv[1], w, h, argv[2], &host);
  if (!v) return 1;
  std::vector<double> latency;
  int missed = 0;
  for (int i = 0; i < 50; ++i) {
    int red = (i % 2) ? 200 : 40, blue = 255 - red;
    std::wstring js = L"document.body.style.background = 'rgb(" + std::to_wstring(red) + L",0," +
                      std::to_wstring(blue) + L")'";
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    e.wkeRunJSW(v, js.c_str());
    bool seen = pumpUntil(3000, [&] {
      COLORREF c = GetPixel(e.wkeGetViewDC(v), 700, 500);
      return std::abs(GetRValue(c) - red) < 12 && std::abs(GetBValue(c) - blue) < 12;
    });
    QueryPerformanceCounter(&t1);
    if (seen) latency.push_back(ms(t0, t1));
    else ++missed;
  }
  print("DOM change to changed view DC", latency);
  std::printf("changes not seen within 3 s: %d\n", missed);

  HDC screen = GetDC(host);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  pumpUntil(500, [] { return false; });  // let the page settle
  std::vector<double> blit;
  for (int i = 0; i < 50; ++i) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    HDC dc = e.wkeGetViewDC(v);
    BitBlt(mem, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    QueryPerformanceCounter(&t1);
    blit.push_back(ms(t0, t1));
  }
  print("wkeGetViewDC + BitBlt 1350x800", blit);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(host, screen);
  DestroyWindow(host);
  return 0;
}
