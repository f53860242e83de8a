#include "runtime/events.h"
#include "runtime/runtime.h"
#include "runtime/runtime_state.h"

namespace rt {
namespace {

// Steps shared by both notifications: the routine bound to the event, or 0.
uintptr_t findRoutine(uint32_t windowId, uint32_t componentId, int32_t event,
                      uint32_t* sourceComponent) {
  LoadedWindow* w = findWindow(windowId);
  if (!isLive(w)) reportError("未找到引发事件的窗口", 0, int32_t(windowId), int32_t(componentId));
  ComponentRecord* rec = findRecord(w, componentId);
  if (!rec) reportError("未找到引发事件的窗口组件", 0, int32_t(windowId), int32_t(componentId));
  *sourceComponent = componentId ? componentId : w->desc.records[0].id;
  // Shared-event links hold only between records of the same type.
  for (int hops = 0; rec->sharedLink && hops < int(w->desc.records.size()); ++hops) {
    ComponentRecord* next = findRecord(w, rec->sharedLink);
    if (!next || next == rec || next->typeCode != rec->typeCode) break;
    rec = next;
  }
  const TypeRecord* type = findType(rec->typeCode);
  if (!type || !(type->flags & (kTypeFlagWindowComponent | kTypeFlagComponent)))
    reportError("引发事件的窗口组件无效", 0, int32_t(windowId), int32_t(componentId));
  if (rec->isMenuItem()) return rec->events.empty() ? 0 : rec->events[0].routine;
  for (const auto& e : rec->events)
    if (e.event == event) return e.routine;
  return 0;
}

void callRoutine(uintptr_t routine, uint32_t windowId, uint32_t componentId,
                 const uint32_t* words, RoutineResult* result) {
  RuntimeState& s = state();
  uint32_t oldWindow = s.sourceWindow, oldComponent = s.sourceComponent;
  s.sourceWindow = windowId;
  s.sourceComponent = componentId;
  const uint32_t* a = words;
  reinterpret_cast<AppRoutine>(routine)(result, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7],
                                        a[8], a[9], a[10], a[11], a[12], a[13], a[14], a[15],
                                        a[16], a[17], a[18], a[19], a[20], a[21], a[22], a[23]);
  // Nested events restore the outer routine's source.
  s.sourceWindow = oldWindow;
  s.sourceComponent = oldComponent;
}

// Both notifications: 0 when events are held back or nothing is bound to
// the event, else 1 once the bound routine has run.
int32_t raise(uint32_t windowId, uint32_t componentId, int32_t event, const uint32_t* words,
              RoutineResult* result) {
  if (state().suppress > 0) return 0;
  uint32_t source = 0;
  uintptr_t routine = findRoutine(windowId, componentId, event, &source);
  if (!routine) return 0;
  callRoutine(routine, windowId, source, words, result);
  return 1;
}

}  // namespace

int32_t dispatchEvent(EventRecord* ev) {
  uint32_t words[kMaxRoutineWords] = {};
  int32_t argc = ev->argc < 0 ? 0 : ev->argc > 5 ? 5 : ev->argc;
  for (int32_t i = 0; i < argc; ++i) words[i] = uint32_t(ev->args[i]);
  RoutineResult r{};
  if (!raise(ev->windowId, ev->componentId, ev->event, words, &r)) return 0;
  if (r.hasResult) {
    ev->hasResult = 1;
    ev->result = int32_t(r.value[0]);
  }
  return 1;
}

int32_t dispatchTypedEvent(TypedEventRecord* ev) {
  uint32_t words[kMaxRoutineWords] = {};
  int n = 0;
  int32_t argc = ev->argc < 0 ? 0 : ev->argc > 12 ? 12 : ev->argc;
  for (int32_t i = 0; i < argc; ++i) {
    const TypedArg& a = ev->args[i];
    bool both = false;
    uint32_t low = a.value.w[0];
    if (a.flags & 1) {
    } else if ((a.flags & 2) || a.value.tag == kTypeMenuItem) {
      both = true;
    } else {
      switch (a.value.tag) {
        case kTagByte: low = uint8_t(low); break;
        case kTagShort: low = uint32_t(int32_t(int16_t(low))); break;
        case kTagDate: case kTagTwoWord: case kTagLong: case kTagDouble: both = true; break;
        default: break;
      }
    }
    words[n++] = low;
    if (both) words[n++] = a.value.w[1];
  }
  RoutineResult r{};
  if (!raise(ev->windowId, ev->componentId, ev->event, words, &r)) return 0;
  if (r.hasResult) {
    ev->hasResult = 1;
    ev->result[0] = r.value[0];
    ev->result[1] = r.value[1];
  }
  return 1;
}

int32_t raiseWindowEvent(uint32_t windowId, int32_t event, int32_t argc, const int32_t* args) {
  LoadedWindow* w = findWindow(windowId);
  if (!isLive(w)) return 0;
  EventRecord ev{};
  ev.windowId = windowId;
  ev.componentId = w->desc.records[0].id;
  ev.event = event;
  ev.argc = argc;
  for (int32_t i = 0; i < argc && i < 5; ++i) ev.args[i] = args[i];
  return dispatchEvent(&ev);
}

}  // namespace rt
