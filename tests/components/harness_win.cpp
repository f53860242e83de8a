#include "tests/components/harness_win.h"
#include <cstdlib>
#include "sound/sound.h"

namespace harness {
namespace {

Runtime gRuntime;
const rt::TypeRecord* gTestTypes;
uint32_t gTestTypeCount;

int32_t RT_CALL recordingNotify(int32_t code, uint32_t p1, uint32_t p2) {
  switch (code) {
    case rt::kNotifyEvent: {
      auto* r = reinterpret_cast<rt::EventRecord*>(p1);
      gRuntime.events.push_back({r->componentId, r->event, r->argc, r->args[0]});
      if (r->event == gRuntime.refuseEvent) {
        r->hasResult = 1;
        r->result = 0;
      }
      return 1;
    }
    case rt::kNotifyTypeRecord: {
      uint32_t lib = p1 >> 16, type = p1 & 0xFFFF;
      if (lib == 2 && type >= 1 && type <= gTestTypeCount)
        return static_cast<int32_t>(reinterpret_cast<uintptr_t>(&gTestTypes[type - 1]));
      if (lib != 1 || type < 1 || type > 51) return 0;
      return static_cast<int32_t>(reinterpret_cast<uintptr_t>(&comp::kCoreTypes[type - 1]));
    }
    case rt::kNotifyAlloc: return static_cast<int32_t>(reinterpret_cast<uintptr_t>(malloc(p1)));
    case rt::kNotifyFree: free(reinterpret_cast<void*>(p1)); return 0;
    case rt::kNotifyDestroyed: gRuntime.destroyed.push_back(p2); return 0;
    case rt::kNotifyPlaySound: {
      ++gRuntime.sounds;
      auto* req = reinterpret_cast<const rt::PlaySoundRequest*>(p1);
      snd::PlaySoundData(req->data, req->size, req->loop);
      return 1;
    }
    case rt::kNotifySoundCalls: gRuntime.soundCalls = reinterpret_cast<const void*>(p1); return 0;
    default: return 0;
  }
}

void* op(uint32_t typeCode, int32_t n) {
  return comp::kCoreTypes[(typeCode & 0xFFFF) - 1].iface(n);
}

}  // namespace

Runtime& runtime() { return gRuntime; }

void setTestTypes(const rt::TypeRecord* types, uint32_t count) {
  gTestTypes = types;
  gTestTypeCount = count;
}

int Runtime::count(uint32_t componentId, int32_t event) const {
  int n = 0;
  for (const Recorded& r : events) n += r.componentId == componentId && r.event == event;
  return n;
}

void install() {
  // The start notification is how the runtime hands over its entry.
  kCoreLibrary.notify(rt::kLibStart, reinterpret_cast<uint32_t>(recordingNotify), 0);
}

rt::LiveObject* create(uint32_t typeCode, const std::vector<uint8_t>& block, HWND parent,
                       uint32_t controlId, RECT r, uint32_t componentId, uint32_t style) {
  auto fn = reinterpret_cast<rt::CreateComponentFn>(op(typeCode, rt::kOpCreate));
  return fn(block.empty() ? nullptr : block.data(), static_cast<uint32_t>(block.size()), style, parent,
            controlId, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, kWindowId, componentId,
            nullptr, 0);
}

int32_t get(rt::LiveObject* obj, int32_t property) {
  auto fn = reinterpret_cast<rt::GetPropertyDataFn>(op(obj->typeCode, rt::kOpGetPropertyData));
  rt::PropValue v = {};
  return fn(obj, property - 8, &v) ? v.i : 0x7EEEEEEE;
}

std::string getText(rt::LiveObject* obj, int32_t property) {
  auto fn = reinterpret_cast<rt::GetPropertyDataFn>(op(obj->typeCode, rt::kOpGetPropertyData));
  rt::PropValue v = {};
  if (!fn(obj, property - 8, &v) || !v.text) return {};
  return v.text;
}

int32_t set(rt::LiveObject* obj, int32_t property, int32_t value) {
  auto fn = reinterpret_cast<rt::PropertyChangedFn>(op(obj->typeCode, rt::kOpPropertyChanged));
  rt::PropValue v = {};
  v.i = value;
  return fn(obj, property - 8, &v, nullptr);
}

int32_t setText(rt::LiveObject* obj, int32_t property, const char* text) {
  auto fn = reinterpret_cast<rt::PropertyChangedFn>(op(obj->typeCode, rt::kOpPropertyChanged));
  rt::PropValue v = {};
  v.text = text;
  return fn(obj, property - 8, &v, nullptr);
}

std::vector<uint8_t> allData(rt::LiveObject* obj) {
  auto fn = reinterpret_cast<rt::GetAllPropertyDataFn>(op(obj->typeCode, rt::kOpGetAllPropertyData));
  uint32_t size = 0;
  uint8_t* p = fn(obj, &size);
  std::vector<uint8_t> out(p, p + size);
  free(p);
  return out;
}

void pump(int ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      bool consumed = false;
      for (HWND h = msg.hwnd; h && !consumed; h = GetParent(h)) {
        auto* obj = reinterpret_cast<rt::LiveObject*>(SendMessageW(h, rt::kMsgQueryObject, 0, 0));
        if (obj) consumed = kCoreLibrary.notify(rt::kLibPreTranslate, reinterpret_cast<uint32_t>(obj),
                                                reinterpret_cast<uint32_t>(&msg)) > 0;
        if (!(GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
      }
      if (!consumed) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    if (ms > 0) Sleep(5);
  } while (GetTickCount() < end);
}

void pressKey(HWND hwnd, UINT vk) {
  PostMessageW(hwnd, WM_KEYDOWN, vk, 1);
  PostMessageW(hwnd, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace harness
