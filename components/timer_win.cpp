#include "components/component_win.h"

namespace comp {
namespace {

constexpr UINT_PTR kTimerId = 1000;

struct Timer {
  rt::LiveObject base;          // first: the runtime sees a LiveObject
  bool design = false;
  TimerProps props;
  bool running = false;         // native timer kTimerId is set
  bool live = false;            // creation finished; until then create() owns it
};

Timer* objectOf(HWND hwnd) { return reinterpret_cast<Timer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

LRESULT CALLBACK timerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* t = static_cast<Timer*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    t->base.hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(t));
  }
  Timer* t = objectOf(hwnd);
  if (!t) return DefWindowProcW(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_CREATE:
      if (t->props.period > 0 && !t->design)
        t->running = SetTimer(hwnd, kTimerId, static_cast<UINT>(t->props.period), nullptr) != 0;
      return 0;
    case rt::kMsgQueryObject:
      return reinterpret_cast<LRESULT>(t);
    case WM_TIMER:
      if (wp == kTimerId) raiseEvent(&t->base, 0);
      return 0;
    case WM_NCDESTROY: {
      if (t->running) KillTimer(hwnd, kTimerId);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (!t->live) break;  // destroyed while being created: create() frees it
      notifyDestroyed(&t->base);
      delete t;
      break;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

rt::LiveObject* RT_CALL create(const uint8_t* data, uint32_t size, uint32_t style, void* parent,
                               uint32_t controlId, void* menu, int32_t left, int32_t top,
                               int32_t width, int32_t height, uint32_t windowId,
                               uint32_t componentId, void* designOwner, int32_t designFlag) {
  TimerProps p;
  if (readTimerProps(data, size, &p) != ReadStatus::kOk) return nullptr;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(inst, L"_EL_Timer", &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = timerProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"_EL_Timer";
    if (!RegisterClassExW(&wc)) return nullptr;
  }
  auto* t = new Timer();
  t->base = {nullptr, windowId, componentId, rt::kTypeTimer, nullptr};
  t->design = designFlag != 0;
  t->props = p;
  DWORD s = WS_CHILD | WS_CLIPSIBLINGS | style | (t->design ? WS_BORDER : 0);
  HWND hwnd = CreateWindowExW(0, L"_EL_Timer", nullptr, s, left, top, width, height, static_cast<HWND>(parent),
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), inst, t);
  if (!hwnd || !IsWindow(hwnd)) {
    delete t;
    return nullptr;
  }
  t->live = true;
  return &t->base;
}

// A write of the current period changes nothing, so a pending tick stays.
int32_t RT_CALL propertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
                                const char** errorText) {
  auto* t = reinterpret_cast<Timer*>(obj);
  if (setStored(t->props, index + rt::kFirstOwnProperty, v) != 1 || t->design) return 0;
  HWND hwnd = static_cast<HWND>(t->base.hwnd);
  if (t->running) KillTimer(hwnd, kTimerId);
  int32_t period = t->props.period;
  t->running = period > 0 && SetTimer(hwnd, kTimerId, static_cast<UINT>(period), nullptr) != 0;
  return 0;
}

int32_t RT_CALL getPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out) {
  return getStored(reinterpret_cast<Timer*>(obj)->props, index + rt::kFirstOwnProperty, out, nullptr);
}

uint8_t* RT_CALL getAllPropertyData(rt::LiveObject* obj, uint32_t* size) {
  return runtimeBlock(writeTimerProps(reinterpret_cast<Timer*>(obj)->props), size);
}

const rt::ComponentOps kTimerOps = {
  .version = 1,
  .create = create,
  .propertyChanged = propertyChanged,
  .getAllPropertyData = getAllPropertyData,
  .getPropertyData = getPropertyData,
};

}  // namespace

void* RT_CALL timerInterface(int32_t op) { return rt::componentOperation(kTimerOps, op); }

}  // namespace comp
