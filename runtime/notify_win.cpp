// The runtime notification entry every library and component calls.
#include <windows.h>
#include <cstring>
#include "runtime/events.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"
#include "runtime/sound_calls.h"
#include "runtime/value.h"

namespace rt {
namespace {

HICON gIcons[2];

void defaultIcons(HICON* out) {
  if (!gIcons[0]) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    gIcons[0] = static_cast<HICON>(LoadImageW(inst, L"DEFAULT_ICON", IMAGE_ICON, 32, 32, 0));
    gIcons[1] = static_cast<HICON>(LoadImageW(inst, L"DEFAULT_ICON", IMAGE_ICON, 16, 16, 0));
  }
  out[0] = gIcons[0];
  out[1] = gIcons[1];
}

// Buffers of notification 1006 are MAX_PATH bytes by convention.
void copyRunDirectory(int32_t kind, char* buf) {
  std::string s;
  if (kind == 1 || kind == 2001) s = state().runDir + "\\";
  else if (kind == 2002) s = state().programName;
  size_t n = s.size() < MAX_PATH - 1 ? s.size() : MAX_PATH - 1;
  std::memcpy(buf, s.data(), n);
  buf[n] = 0;
}

void addIdleHandler(const IdleHandler* h) {
  if (!h || !IsWindow(static_cast<HWND>(h->hwnd)) || !h->fn) return;
  auto& list = state().idleHandlers;
  for (const auto& e : list)
    if (e.hwnd == h->hwnd) return;
  list.push_back(*h);
}

void removeIdleHandler(void* hwnd) {
  auto& list = state().idleHandlers;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].hwnd == hwnd) {
      list.erase(list.begin() + ptrdiff_t(i));
      return;
    }
}

int32_t ptr(const void* p) { return int32_t(reinterpret_cast<uintptr_t>(p)); }

int32_t recordIndex(uint32_t windowId, uint32_t componentId) {
  LoadedWindow* w = findWindow(windowId);
  ComponentRecord* r = w ? findRecord(w, componentId) : nullptr;
  return r ? int32_t(r - w->desc.records.data()) : -1;
}

}  // namespace

void destroyDefaultIcons() {
  for (HICON& icon : gIcons) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
}

int32_t RT_CALL notify(int32_t code, uint32_t p1, uint32_t p2) {
  RuntimeState& s = state();
  switch (code) {
    case kNotifyDefaultIcons: defaultIcons(reinterpret_cast<HICON*>(uintptr_t(p1))); return 0;
    case kNotifyWindowTable: return ptr(&s.windows);
    case kNotifyTypeRecord: return ptr(findType(p1));
    case kNotifyRunDirBuffer: copyRunDirectory(int32_t(p1), reinterpret_cast<char*>(uintptr_t(p2))); return 0;
    case kNotifyWrapWindow: return p1 ? int32_t(p1) : 0;
    case kNotifyAddIdle: addIdleHandler(reinterpret_cast<const IdleHandler*>(uintptr_t(p1))); return 0;
    case kNotifyRemoveIdle: removeIdleHandler(reinterpret_cast<void*>(uintptr_t(p1))); return 0;
    case kNotifyDestroyed: componentDestroyed(p1, p2); return 0;
    case kNotifyToInteger: {
      int32_t out = 0;
      const Value* v = reinterpret_cast<const Value*>(uintptr_t(p1));
      if (!v || !valueToInt32(*v, &out)) reportError("欲转换数据类型不是数值", 0, 0, 0);
      return out;
    }
    case kNotifyRunDirectory: return ptr(s.runDir.c_str());
    case kNotifyProgramName: return ptr(s.programName.c_str());
    case kNotifyFindObject: return ptr(findObject(p1, p2));
    case kNotifyFindObjectOrFail: {
      LiveObject* obj = findObject(p1, p2);
      if (!obj) reportError("指定窗口或窗口组件不存在或尚未载入", 0, int32_t(p1), int32_t(p2));
      return ptr(obj);
    }
    case kNotifyEvent: return dispatchEvent(reinterpret_cast<EventRecord*>(uintptr_t(p1)));
    case kNotifyBeginCreate: processEvents(); ++s.suppress; return 0;
    case kNotifyEndCreate:
      processEvents();
      lowerSuppression();
      return 0;
    case kNotifyPlaySound: {
      auto* r = reinterpret_cast<const PlaySoundRequest*>(uintptr_t(p1));
      return r ? playSound(r->data, r->size, r->loop) : 0;
    }
    case kNotifyStopSound: stopSounds(false); return 0;
    case kNotifySoundCalls: setSoundCalls(reinterpret_cast<const SoundCalls*>(uintptr_t(p1))); return 0;
    case kNotifyProcessEvents: processEvents(); return 0;
    case kNotifyAlloc: return ptr(p2 ? allocRaw(p1) : allocMemory(p1));
    case kNotifyFree: freeMemory(reinterpret_cast<void*>(uintptr_t(p1))); return 0;
    case kNotifyReportError: reportError(textOf(reinterpret_cast<const char*>(uintptr_t(p1))), 0, 0, 0);
    case kNotifyProgramKind: return s.header ? s.header->kind : 0;
    case kNotifyTypedEvent: return dispatchTypedEvent(reinterpret_cast<TypedEventRecord*>(uintptr_t(p1)));
    case kNotifyRecordIndex: return recordIndex(p1, p2);
    case kNotifyFocusOrder: {
      LoadedWindow* w = findWindow(p1);
      ComponentRecord* r = w ? findRecord(w, p2) : nullptr;
      return r ? int32_t(r->focusOrder) : 0;
    }
    case kNotifyModalClosing: reenableAfterModal(p1); return 0;
    case kNotifyModalWindow: return ptr(activeModalWindow());
    default: return 0;
  }
}

}  // namespace rt
