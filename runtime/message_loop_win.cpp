// The message loop: idle phase, pre-translation and dispatch.
#include <windows.h>
#include <algorithm>
#include <set>
#include <vector>
#include "runtime/events.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"

namespace rt {
namespace {

struct IdlePeriod {
  DWORD start = 0;
  std::set<uint32_t> declined;   // windows without use for idle events
};
IdlePeriod gIdle;

// One idle step; false once nobody wants more idle calls.
bool idleStep(int32_t n) {
  if (n == 0) {
    gIdle.start = GetTickCount();
    gIdle.declined.clear();
  }
  // The framework has no idle work of its own, so it is done at once.
  if (n <= 1) return true;
  bool more = false;
  for (size_t i = 0; i < state().windows.size(); ++i) {
    LoadedWindow& w = state().windows[i];
    if (!w.loaded || !isLive(&w) || gIdle.declined.count(w.id)) continue;
    uint32_t id = w.id;
    int32_t elapsed = int32_t(GetTickCount() - gIdle.start);
    EventRecord ev{};
    ev.windowId = id;
    ev.componentId = w.desc.records[0].id;
    ev.event = 7;
    ev.argc = 1;
    ev.args[0] = elapsed;
    if (dispatchEvent(&ev) && ev.hasResult && ev.result) more = true;
    else gIdle.declined.insert(id);
  }
  return more;
}

// A handler may remove handlers, itself and others, or add some: the walk
// goes over a copy, and calls only those still listed.
void runIdleHandlers() {
  auto& list = state().idleHandlers;
  const std::vector<IdleHandler> walk = list;
  for (size_t i = walk.size(); i-- > 0;) {
    auto listed = std::find_if(list.begin(), list.end(), [&](const IdleHandler& h) {
      return h.hwnd == walk[i].hwnd && h.fn == walk[i].fn && h.arg == walk[i].arg;
    });
    if (listed == list.end()) continue;
    if (!IsWindow(static_cast<HWND>(walk[i].hwnd))) {
      list.erase(listed);
      continue;
    }
    walk[i].fn(walk[i].arg);
  }
}

bool restartsIdle(const MSG& m, MSG* lastMove) {
  if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
    bool same = lastMove->message == m.message && lastMove->pt.x == m.pt.x &&
                lastMove->pt.y == m.pt.y;
    *lastMove = m;
    return !same;
  }
  return m.message != WM_PAINT && m.message != 0x0118;
}

}  // namespace

bool preTranslate(void* p) {
  MSG* msg = static_cast<MSG*>(p);
  if (!msg->hwnd) return false;
  for (HWND h = msg->hwnd; h; h = GetParent(h)) {
    auto obj = reinterpret_cast<LiveObject*>(SendMessageW(h, kMsgQueryObject, 0, 0));
    if (obj && obj->preTranslate && obj->preTranslate(obj, msg)) return true;
    if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;  // top-level tried
  }
  return false;
}

void runMessageLoop(bool modal) {
  RuntimeState& s = state();
  s.loopEntered = true;
  if (!anyWindowAlive()) return;
  MSG msg = {}, lastMove = {};
  bool idle = true;
  int32_t count = 0;
  for (;;) {
    while (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      runIdleHandlers();
      idle = idleStep(count++);
      if (modal && s.modalMarker == 0) return;
    }
    // With idle work done, GetMessage sleeps until a message comes.
    do {
      MSG next;
      if (modal && PeekMessageW(&next, nullptr, 0, 0, PM_NOREMOVE) && next.message == WM_QUIT)
        return;
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        s.quitCode = int32_t(msg.wParam);
        return;
      }
      if (got == -1) continue;  // a failed fetch is no quit, and gives no message
      if (!preTranslate(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (modal && s.modalMarker == 0) return;
      if (restartsIdle(msg, &lastMove)) {
        idle = true;
        count = 0;
      }
    } while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void processEvents() {
  MSG msg;
  // The quit message is only looked at, so the loop that owns it still
  // finds it, parameter and all, and a waiting Delay is not woken by a
  // fresh copy of it.
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) break;
    if (!preTranslate(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace rt
