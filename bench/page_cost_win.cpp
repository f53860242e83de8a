// page_cost <node.dll> <url> [pages]: where one capture page's time goes.
// Part 1 replays a capture run's page through node.dll against the page at
// <url> (1900 x 1000 view, the application's waits) and times each call,
// the checks that the page turned and finished included.
// Part 2 asks the same browser for the view's screenshot over a connection
// of its own and times each step the engine takes to turn the reply into
// the view's pixels.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/constants.h"
#include "browser/element_script.h"
#include "engine/dib_win.h"
#include "engine/base64.h"
#include "engine/message.h"
#include "engine/script.h"
#include "engine/websocket_win.h"
#include "harness/engine_exports_win.h"

namespace {

using Json = nlohmann::json;

const int kWidth = 1900, kHeight = 1000;
const char* const kOverlays[] = {
    "#qr-body > div.page-read-bg",
    "#qr-body > div.page-read-wrapper > div.page-read-top",
    "#qr-body > div.page-read-wrapper > content > div > div.page-shadow",
    "#qr-body > div.page-read-wrapper > content > div > div.bg-shadow",
    "#qr-body > div.page-read-wrapper > div.page-read-bottom > div.bottom-wrapper",
};
const char kPageTurn[] =
    "#qr-body > div.page-read-wrapper > div.page-read-bottom > div.flip-page-options > "
    "div:nth-child(3) > div:nth-child(1)";

double now() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return 1000.0 * double(c.QuadPart) / double(f.QuadPart);
}

double timed(const std::function<void()>& f) {
  double t0 = now();
  f();
  return now() - t0;
}

// Named series of samples, printed as median and share of their sum.
struct Table {
  std::vector<std::pair<std::string, std::vector<double>>> rows;
  std::vector<double>& operator[](const std::string& name) {
    for (auto& r : rows)
      if (r.first == name) return r.second;
    rows.push_back({name, {}});
    return rows.back().second;
  }
  static double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
  void print(const char* total) const {
    double sum = 0;
    for (const auto& r : rows) sum += median(r.second);
    for (const auto& r : rows)
      std::printf("  %-44s median %7.1f ms  max %7.1f ms  %3.0f%%\n", r.first.c_str(), median(r.second),
                  r.second.empty() ? 0.0 : *std::max_element(r.second.begin(), r.second.end()),
                  sum > 0 ? 100.0 * median(r.second) / sum : 0.0);
    std::printf("  %-44s median %7.1f ms\n", total, sum);
  }
};

// What CaptureViewBitmap does after wkeGetViewDC: a bottom-up DIB section,
// BitBlt, then GetDIBits into the file image.
void snapshot(HDC viewDc, int w, int h, std::vector<uint8_t>& file) {
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, DWORD(w * h * 4), 0, 0, 0, 0};
  HDC memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, viewDc, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  file.assign(54 + size_t(w) * h * 4, 0);
  GetDIBits(memory, bitmap, 0, UINT(h), file.data() + 54, &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

// What WriteToFile does: a ".part" file, flushed, then a rename over the name.
void writeFile(const std::wstring& name, const std::vector<uint8_t>& data) {
  std::wstring part = name + L".part";
  HANDLE h = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD done = 0;
  WriteFile(h, data.data(), DWORD(data.size()), &done, nullptr);
  FlushFileBuffers(h);
  CloseHandle(h);
  MoveFileExW(part.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Part 2's connection: one raw DevTools message at a time.
struct Raw {
  engine::WebSocketClient ws;
  std::string last;
  int next = 1;
  // Sends one command and waits for its reply; the reply's text, or "".
  std::string call(const std::string& method, const Json& params, const std::string& session) {
    int id = next++;
    Json msg = {{"id", id}, {"method", method}, {"params", params}};
    if (!session.empty()) msg["sessionId"] = session;
    if (!ws.sendText(msg.dump())) return {};
    std::string head = "{\"id\":" + std::to_string(id) + ",";
    DWORD start = GetTickCount();
    last.clear();
    while (last.compare(0, head.size(), head) != 0) {
      if (GetTickCount() - start > 10000 || !ws.pump(50)) return {};
    }
    return last;
  }
};

bool openRaw(Raw& raw, std::string& pageSession, const std::string& url) {
  const char* env = std::getenv("PAGINET_ENGINE_DEVTOOLS");
  std::string ep = env ? env : "";
  size_t colon = ep.rfind(':');
  if (colon == std::string::npos) return false;
  std::string host = ep.substr(0, colon), body, reason;
  int port = std::atoi(ep.c_str() + colon + 1);
  if (!engine::httpGet(host, port, "/json/version", 3000, body)) return false;
  std::string ws = Json::parse(body).value("webSocketDebuggerUrl", "");
  size_t slash = ws.find('/', ws.find("//") + 2);
  if (slash == std::string::npos || !raw.ws.open(host, port, ws.substr(slash), 5000, reason)) return false;
  raw.ws.onMessage = [&raw](const std::string& m) { raw.last = m; };
  Json targets = Json::parse(raw.call("Target.getTargets", Json::object(), ""));
  for (const auto& t : targets["result"]["targetInfos"]) {
    if (t.value("type", "") != "page" || t.value("url", "") != url) continue;
    Json a = Json::parse(
        raw.call("Target.attachToTarget", {{"targetId", t["targetId"]}, {"flatten", true}}, ""));
    pageSession = a["result"].value("sessionId", "");
    return !pageSession.empty();
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int pages = argc > 3 ? std::max(1, std::atoi(argv[3])) : 8;
  EngineExports e{};
  HWND host = nullptr;
  wkeWebView v = openLoadedView(e, argv[1], kWidth, kHeight, argv[2], &host);
  if (!v) return 1;
  pumpUntil(1111, [] { return false; });

  wchar_t tmp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, tmp);
  const std::wstring file = std::wstring(tmp) + L"paginet_page_cost.bmp";
  Table calls;
  std::vector<double> perPage, checks, readyAfter;
  std::vector<uint8_t> image, before;
  const std::wstring state = widen(app::kPageStateScript);
  for (int p = 0; p < pages; ++p) {
    double busy = 0, late = 0, checked = 0;
    auto step = [&](const std::string& name, const std::function<void()>& f) {
      double t = timed(f);
      calls[name].push_back(t);
      busy += t;
      if (name.rfind("check", 0) == 0) checked += t;
    };
    // The application's waits process messages until their time is up; a
    // long message (a frame to decode) makes them end late.
    auto wait = [&](int ms) {
      double t = timed([&] { pumpUntil(DWORD(ms), [] { return false; }); });
      late += std::max(0.0, t - ms);
    };
    for (int k = 0; k < 5; ++k) {
      std::wstring js = widen(web::visibleScript(web::elementExpression("", 2, kOverlays[k], 1), false).c_str());
      step("script: hide overlay " + std::to_string(k + 1), [&] { e.wkeRunJSW(v, js.c_str()); });
      wait(50);
    }
    step("check: page state before the turn", [&] { e.wkeRunJSW(v, state.c_str()); });
    std::wstring click = widen(web::clickScript(web::elementExpression("", 2, kPageTurn, 1)).c_str());
    step("script: click the page turn", [&] { e.wkeRunJSW(v, click.c_str()); });
    wait(555);
    step("check: page state after the turn", [&] {
      e.wkeRunJSW(v, state.c_str());
      e.wkeIsLoading(v);
    });
    // The engine's picture of the finished page: asked for, then waited for
    // with the window answering; the wait is inside the closing 1111 ms.
    const double asked = now();
    bool ready = false;
    while (!ready && now() - asked < 2000) {
      step("check: is the picture ready (each ask)", [&] {
        ready = !e.wkeIsDirty(v);
        if (!ready) e.wkeSetDirty(v, true);
      });
      if (!ready) wait(10);
    }
    readyAfter.push_back(now() - asked);
    HDC dc = nullptr;
    step("wkeGetViewDC (the picture into the DC)", [&] { dc = e.wkeGetViewDC(v); });
    step("DIB section, BitBlt, GetDIBits", [&] { snapshot(dc, kWidth - 15, kHeight, image); });
    bool turned = false;
    step("check: compare with the page before", [&] { turned = before != image; });
    step("write 7.5 MB, flush and rename", [&] { writeFile(file, image); });
    step("check: copy for the PDF's worker", [&] { before = image; });
    wait(std::max(0, 1111 - int(now() - asked)));
    calls["waits: time past their end"].push_back(late);
    perPage.push_back(busy + late);
    checks.push_back(checked);
    if (!ready || !turned) std::printf("page %d: %s\n", p + 1, !turned ? "did not turn" : "no picture ready");
  }
  DeleteFileW(file.c_str());
  std::printf("per page through node.dll, %d pages, view %d x %d:\n", pages, kWidth, kHeight);
  calls.print("sum of the calls");

  Raw raw;
  std::string session;
  if (!openRaw(raw, session, argv[2])) {
    std::printf("no second connection to the view's page\n");
    return 1;
  }
  Table steps;
  engine::Dib dib;
  size_t replyBytes = 0, pngBytes = 0;
  for (int i = 0; i < pages; ++i) {
    std::string reply, png, reason;
    Json msg;
    std::string data;
    steps["screenshot reply on the wire"].push_back(
        timed([&] { reply = raw.call("Page.captureScreenshot", engine::screenshotParams(), session); }));
    steps["message text to JSON"].push_back(timed([&] { engine::parseMessage(reply, msg); }));
    steps["data string out of the JSON"].push_back(timed([&] {
      data = std::move(msg["result"]["data"].get_ref<std::string&>());
    }));
    steps["base64 decode"].push_back(timed([&] { engine::base64Decode(data, png); }));
    steps["PNG decode into the DIB"].push_back(timed([&] { dib.load(png, reason); }));
    replyBytes = reply.size();
    pngBytes = png.size();
  }
  std::printf("screenshot steps, %zu-byte reply, %zu-byte PNG:\n", replyBytes, pngBytes);
  steps.print("sum of the steps");
  std::printf("calls and late waits per page: median %.1f ms\n", Table::median(perPage));
  std::printf("the engine's picture ready (inside the closing wait): median %.1f ms after it was asked, max %.1f ms\n",
              Table::median(readyAfter), *std::max_element(readyAfter.begin(), readyAfter.end()));
  std::printf("the checks that the page turned and finished: median %.1f ms a page, max %.1f ms\n",
              Table::median(checks), *std::max_element(checks.begin(), checks.end()));
  DestroyWindow(host);
  return 0;
}
