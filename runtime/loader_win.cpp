// Loading a window from its description, and the bookkeeping when its
// native windows go away.
#include <windows.h>
#include "runtime/events.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"

namespace rt {
namespace {

HWND hwndOf(const ComponentRecord& r) {
  return r.object ? static_cast<HWND>(r.object->hwnd) : nullptr;
}

int32_t typeFlags(uint32_t typeCode) {
  const TypeRecord* t = findType(typeCode);
  return t ? int32_t(t->flags) : 0;
}

// Creates one record's native window; the window itself when parent is null.
LiveObject* createRecord(LoadedWindow* w, ComponentRecord& r, HWND parent, uint32_t controlId,
                         HWND owner, void* menu = nullptr) {
  const TypeRecord* type = findType(r.typeCode);
  if (!type || !type->iface) return nullptr;
  auto create = reinterpret_cast<CreateComponentFn>(type->iface(kOpCreate));
  if (!create) return nullptr;
  uint32_t style = 0;
  if (r.flags & kRecordDisabled) style |= WS_DISABLED;
  if (r.flags & kRecordTabStop) style |= WS_TABSTOP;
  LiveObject* obj = create(r.propertyData.data(), uint32_t(r.propertyData.size()), style,
                           parent ? parent : owner, controlId, menu, r.left, r.top, r.width,
                           r.height, w->id, r.id, nullptr, 0);
  r.object = obj;
  return obj;
}

HWND parentWindowOf(LoadedWindow* w, const ComponentRecord& r) {
  if (r.parent) {
    ComponentRecord* p = findRecord(w, r.parent);
    if (p && hwndOf(*p)) return hwndOf(*p);
  }
  return hwndOf(w->desc.records[0]);
}

void showComponent(LoadedWindow* w, const ComponentRecord& r) {
  bool show = (r.flags & kRecordVisible) && !(typeFlags(r.typeCode) & kTypeFlagNeverShown);
  ShowWindow(hwndOf(r), show ? SW_SHOWNA : SW_HIDE);
}

bool isTopLevel(HWND h) { return !(GetWindowLongW(h, GWL_STYLE) & WS_CHILD); }

// Disables every other loaded top-level window, remembering how it was.
void disableOthers(LoadedWindow* w) {
  w->modal = true;
  w->disabledByModal.clear();
  for (LoadedWindow& other : state().windows) {
    if (&other == w || !isLive(&other)) continue;
    HWND h = hwndOf(other.desc.records[0]);
    if (!IsWindow(h) || !isTopLevel(h)) continue;
    w->disabledByModal.push_back({h, IsWindowEnabled(h) != 0});
    EnableWindow(h, FALSE);
  }
}

}  // namespace

// The walk stops at a top-level window: GetParent there gives the owner,
// which is another window.
size_t recordOfWindow(LoadedWindow* w, void* hwnd) {
  for (HWND h = static_cast<HWND>(hwnd); h; h = isTopLevel(h) ? nullptr : GetParent(h))
    for (size_t i = 0; i < w->desc.records.size(); ++i)
      if (hwndOf(w->desc.records[i]) == h) return i;
  return SIZE_MAX;
}

bool anyWindowAlive() {
  for (auto& w : state().windows)
    if (isLive(&w) && IsWindow(hwndOf(w.desc.records[0]))) return true;
  return false;
}

LiveObject* findObject(uint32_t windowId, uint32_t componentId) {
  LoadedWindow* w = findWindow(windowId);
  if (!isLive(w)) return nullptr;
  ComponentRecord* r = findRecord(w, componentId);
  if (!r || r->isMenuItem() || !r->object || !IsWindow(hwndOf(*r))) return nullptr;
  return r->object;
}

bool loadWindow(LoadedWindow* w, bool allowTwice, void* owner, bool modal) {
  const uint32_t id = w->id;
  // 1. Already loaded: bring it forward instead.
  if (isLive(w) && !allowTwice) {
    HWND h = hwndOf(w->desc.records[0]);
    ShowWindow(h, IsIconic(h) ? SW_RESTORE : SW_SHOW);
    SetActiveWindow(h);
    return true;
  }
  // 2. No event reaches the application while the native windows appear.
  notify(kNotifyBeginCreate, 0, 0);
  w->saved = w->desc.records;
  // 3.
  void *menu = nullptr, *accel = nullptr;
  // 4. The window, then the components from the last record down.
  auto& recs = w->desc.records;
  if (!buildMenu(w, &menu, &accel) || !createRecord(w, recs[0], nullptr, 0, static_cast<HWND>(owner), menu)) {
    // A window component that failed has destroyed the menu already.
    if (menu && IsMenu(static_cast<HMENU>(menu))) DestroyMenu(static_cast<HMENU>(menu));
    if (accel) DestroyAcceleratorTable(static_cast<HACCEL>(accel));
    w->desc.records = w->saved;
    notify(kNotifyEndCreate, 0, 0);
    return false;
  }
  HWND main = hwndOf(recs[0]);
  // A modal window without an owner of its own belongs to the hidden owner,
  // so it keeps in front of the windows it disables and has no taskbar button.
  if (modal && !owner && state().hideOwner)
    SetWindowLongPtrW(main, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(state().hideOwner));
  uint32_t controlId = 100;
  for (size_t i = recs.size(); i-- > 1;) {
    if (recs[i].isMenuItem()) continue;
    if (!createRecord(w, recs[i], main, controlId, nullptr)) {
      notify(kNotifyEndCreate, 0, 0);
      return false;
    }
    controlId += 10;
  }
  // 5. Parents, and pages of containers other than the first are hidden.
  for (size_t i = 1; i < recs.size(); ++i) {
    ComponentRecord& r = recs[i];
    if (r.isMenuItem()) continue;
    if (r.parent) SetParent(hwndOf(r), parentWindowOf(w, r));
    if (typeFlags(r.typeCode) & kTypeFlagPages) {
      bool afterSeparator = false;
      for (uint32_t child : r.children) {
        if (child == 0) afterSeparator = true;
        else if (afterSeparator)
          if (ComponentRecord* c = findRecord(w, child)) c->flags &= ~kRecordVisible;
      }
    }
  }
  // 6. Z order: after the nearest earlier sibling, else on top.
  for (size_t i = 1; i < recs.size(); ++i) {
    if (recs[i].isMenuItem()) continue;
    HWND after = HWND_TOP;
    for (size_t j = i; j-- > 1;)
      if (!recs[j].isMenuItem() && recs[j].parent == recs[i].parent) {
        after = hwndOf(recs[j]);
        break;
      }
    SetWindowPos(hwndOf(recs[i]), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // 7.
  for (auto& r : recs)
    if (!r.isMenuItem()) loadRecordPointer(&r);
  // 8.
  for (size_t i = recs.size(); i-- > 1;)
    if (!recs[i].isMenuItem()) SendMessageW(hwndOf(recs[i]), kMsgComponentsCreated, 0, 0);
  SendMessageW(main, kMsgWindowLoaded, 0, 0);
  // 9.
  for (size_t i = 1; i < recs.size(); ++i)
    if (!recs[i].isMenuItem()) showComponent(w, recs[i]);
  // 10.
  installMenu(w, menu, accel);
  notify(kNotifyEndCreate, 0, 0);
  // 11. Creation's own move and size notifications were suppressed.
  raiseWindowEvent(id, 0, 0, nullptr);
  if (!isLive(w)) return true;
  raiseWindowEvent(id, 3, 0, nullptr);
  if (!isLive(w)) return true;
  raiseWindowEvent(id, 4, 0, nullptr);
  if (!isLive(w)) return true;
  // 12. The window shows itself as its position property asks.
  if (w->desc.records[0].flags & kRecordVisible) {
    if (!SendMessageW(main, kMsgShowLoaded, 0, 0)) ShowWindow(main, SW_SHOW);
    size_t focused = recordOfWindow(w, GetFocus());
    if (focused != SIZE_MAX) {
      EventRecord ev{};
      ev.windowId = id;
      ev.componentId = w->desc.records[focused].id;
      ev.event = -7;
      dispatchEvent(&ev);
      if (!isLive(w)) return true;
    }
  }
  // 13. The other top-level windows wait for the modal one.
  if (modal) disableOthers(w);
  // 14.
  HWND before = GetFocus();
  for (size_t i = w->desc.records.size(); i-- > 1;)
    if (!w->desc.records[i].isMenuItem())
      SendMessageW(hwndOf(w->desc.records[i]), kMsgFocusPrepare, 0, 0);
  if (before && GetFocus() != before && IsWindow(before)) SetFocus(before);
  w->loaded = true;
  if (modal) {
    // The modal loop runs until this window's destruction clears the marker.
    RuntimeState& s = state();
    const uint32_t outer = s.modalMarker;
    s.modalMarker = id;
    runMessageLoop(true);
    // The outer modal window may have gone meanwhile: its loop then ends
    // too, rather than wait for a destruction that has already been.
    LoadedWindow* o = findWindow(outer);
    s.modalMarker = o && o->modal && isLive(o) ? outer : 0;
  }
  return true;
}

void reenableAfterModal(uint32_t windowId) {
  LoadedWindow* w = findWindow(windowId);
  if (!w) return;
  for (const auto& [h, enabled] : w->disabledByModal)
    if (IsWindow(static_cast<HWND>(h))) EnableWindow(static_cast<HWND>(h), enabled);
  w->disabledByModal.clear();
}

void* activeModalWindow() {
  for (LoadedWindow& w : state().windows) {
    if (!w.modal || !w.loaded || !isLive(&w)) continue;
    HWND h = hwndOf(w.desc.records[0]);
    if (IsWindow(h) && IsWindowVisible(h) && IsWindowEnabled(h) && isTopLevel(h)) return h;
  }
  return nullptr;
}

void loadStartupWindow(uint32_t windowId) {
  LoadedWindow* w = findWindow(windowId);
  if (!w || w->desc.records.empty() || !loadWindow(w, false, nullptr, false))
    reportError("载入启动窗口失败", 0, int32_t(windowId), 0);
}

void componentDestroyed(uint32_t windowId, uint32_t componentId) {
  LoadedWindow* w = findWindow(windowId);
  if (!w || w->desc.records.empty()) return;
  ComponentRecord* r = findRecord(w, componentId);
  if (!r) return;
  if (r != &w->desc.records[0]) {
    releaseRecordPointer(r);
    r->object = nullptr;
    return;
  }
  // The window itself: a modal one gives back what it disabled and ends its
  // loop; the working copy goes, so a new load starts afresh.
  reenableAfterModal(windowId);
  dropAccelerators(w);
  w->modal = false;
  if (state().modalMarker == windowId) state().modalMarker = 0;
  for (auto& rec : w->desc.records) releaseRecordPointer(&rec);
  if (!w->saved.empty()) w->desc.records = w->saved;
  for (auto& rec : w->desc.records) rec.object = nullptr, rec.cursor = nullptr;
  w->saved.clear();
  w->loaded = false;
  if (state().loopEntered && !anyWindowAlive()) PostQuitMessage(0);
}

bool recreateComponent(LoadedWindow* w, uint32_t componentId) {
  ComponentRecord* r = findRecord(w, componentId);
  if (!r || r == &w->desc.records[0] || !r->object) return false;
  const TypeRecord* type = findType(r->typeCode);
  if (type && type->iface)
    if (auto getAll = reinterpret_cast<GetAllPropertyDataFn>(type->iface(kOpGetAllPropertyData))) {
      uint32_t size = 0;
      uint8_t* data = getAll(r->object, &size);
      if (data) r->propertyData.assign(data, data + size);
      freeMemory(data);
    }
  HWND old = hwndOf(*r);
  // Siblings over the old window, nearest first: the new one goes under the
  // nearest that survives, keeping Z and so tab order.
  std::vector<HWND> above;
  for (HWND h = GetWindow(old, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) above.push_back(h);
  uint32_t controlId = uint32_t(GetDlgCtrlID(old));
  HWND parent = GetParent(old);
  DestroyWindow(old);   // the component's 2000 clears the object slot
  r = findRecord(w, componentId);
  if (!r || !isLive(w)) return false;
  r->object = nullptr;
  if (!createRecord(w, *r, parent, controlId, nullptr)) return false;
  HWND after = HWND_TOP;
  for (HWND h : above)
    if (IsWindow(h)) {
      after = h;
      break;
    }
  SetWindowPos(hwndOf(*r), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  loadRecordPointer(r);
  SendMessageW(hwndOf(*r), kMsgComponentsCreated, 0, 0);
  showComponent(w, *r);
  SendMessageW(hwndOf(*r), kMsgFocusPrepare, 0, 0);
  return true;
}

}  // namespace rt
