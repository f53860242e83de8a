// Shows the startup window's own records through the components, for the
// scripted checks and the screenshot: "show SECONDS [default]" keeps it up
// until it is closed or the time runs out, then prints the close events,
// the clicks of both buttons and which control last had the focus
// ("default" makes "前往首页" the default push button); "max" maximises it
// and prints the position property it reads before and after.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "tests/components/harness_win.h"

using namespace harness;

namespace {

comp::WindowProps windowProps(int position) {
  comp::WindowProps p;
  p.border = 1;
  p.maxBox = 1;
  p.position = position;
  p.caption = "Brenmoor Paginet试卷下载器 V3.0 -By:tn462917";
  return p;
}

constexpr uint32_t kCaptureId = 0x1601A14D, kHomeId = 0x1601A178, kEditId = 0x1601D0B6;

// The control that last received the focus, from its event -7.
const char* lastFocused() {
  const std::vector<Recorded>& ev = runtime().events;
  for (auto it = ev.rbegin(); it != ev.rend(); ++it) {
    if (it->event != -7) continue;
    if (it->componentId == kCaptureId) return "capture";
    if (it->componentId == kHomeId) return "home";
    if (it->componentId == kEditId) return "edit";
  }
  return "none";
}

HWND showStartup(int homeType) {
  rt::LiveObject* w = create(rt::kTypeWindow, comp::writeWindowProps(windowProps(1)), nullptr, 0,
                             {50, 50, 50 + 1365, 50 + 840}, kWindowRecord);
  if (!w) return nullptr;
  HWND parent = static_cast<HWND>(w->hwnd);
  comp::ButtonProps capture;
  capture.caption = "采集";
  create(rt::kTypeButton, comp::writeButtonProps(capture), parent, 110, {360, 98, 510, 148}, kCaptureId,
         WS_TABSTOP | WS_VISIBLE);
  comp::ButtonProps home;
  home.caption = "前往首页";
  home.type = homeType;
  create(rt::kTypeButton, comp::writeButtonProps(home), parent, 120, {511, 98, 661, 148}, kHomeId,
         WS_TABSTOP | WS_VISIBLE);
  create(rt::kTypeTimer, {}, parent, 130, {1360, 264, 1408, 296}, 0x1601D0AC);
  comp::EditBoxProps edit;
  edit.content = "https://reader.example.cn/q?c=120HYBKI30C";
  create(rt::kTypeEditBox, comp::writeEditBoxProps(edit), parent, 140, {664, 100, 1128, 148}, kEditId,
         WS_TABSTOP | WS_VISIBLE);
  ShowWindow(parent, SW_SHOW);
  return parent;
}

}  // namespace

int main(int argc, char** argv) {
  install();
  if (argc >= 2 && !strcmp(argv[1], "max")) {
    // Stored position 1 (centred); the maximise box's command maximises.
    rt::LiveObject* w = create(rt::kTypeWindow, comp::writeWindowProps(windowProps(1)), nullptr, 0,
                               {0, 0, 400, 300}, kWindowRecord);
    if (!w) return 2;
    HWND h = static_cast<HWND>(w->hwnd);
    ShowWindow(h, SW_SHOW);
    pump(100);
    int normal = get(w, 18);
    SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    pump(100);
    printf("normal=%d zoomed=%d position=%d\n", normal, IsZoomed(h) ? 1 : 0, get(w, 18));
    fflush(stdout);
    return 0;
  }
  int seconds = argc >= 3 ? atoi(argv[2]) : 30;
  HWND h = showStartup(argc >= 4 && !strcmp(argv[3], "default") ? 1 : 0);
  if (!h) return 2;
  printf("shown\n");
  fflush(stdout);
  bool closed = pumpUntil([&] { return !IsWindow(h); }, seconds * 1000);
  const Runtime& r = runtime();
  printf("%s events12=%d events1=%d capture=%d home=%d focus=%s\n", closed ? "closed" : "timeout",
         r.count(kWindowRecord, 12), r.count(kWindowRecord, 1), r.count(kCaptureId, 0), r.count(kHomeId, 0),
         lastFocused());
  fflush(stdout);
  return closed ? 0 : 1;
}
