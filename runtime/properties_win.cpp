// ReadComponentProperty and WriteComponentProperty: the common properties
// live in the record and the native window, the rest in the component.
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include "runtime/component_ops.h"
#include "runtime/font_values.h"
#include "runtime/mouse_pointer.h"
#include "runtime/property_values.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"

namespace rt {
namespace {

const char kNotLoaded[] = "未载入欲访问窗口组件所在的窗口";

struct Target {
  LoadedWindow* window;
  ComponentRecord* record;
  HWND hwnd;        // null when the component has no native window
};

Target target(uint32_t windowId, uint32_t componentId) {
  LoadedWindow* w = findWindow(windowId);
  ComponentRecord* r = isLive(w) ? findRecord(w, componentId) : nullptr;
  if (!r) reportError(kNotLoaded, 0, int32_t(windowId), int32_t(componentId));
  HWND h = r->object ? static_cast<HWND>(r->object->hwnd) : nullptr;
  return {w, r, h && IsWindow(h) ? h : nullptr};
}

// Position and size as the parent sees them (screen for the window).
RECT liveRect(HWND h) {
  RECT rc;
  GetWindowRect(h, &rc);
  HWND parent = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr;
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

uint16_t propertyType(uint32_t typeCode, int32_t property) {
  const TypeRecord* t = findType(typeCode);
  if (!t || !t->properties || property < 0 || property >= t->propertyCount) return 1000;
  return t->properties[property].type;
}

// The component's own answer for a property; false when it has none.
bool getOwn(uint32_t typeCode, LiveObject* obj, int32_t property, PropValue* v) {
  const TypeRecord* t = findType(typeCode);
  auto get = t && t->iface ? reinterpret_cast<GetPropertyDataFn>(t->iface(kOpGetPropertyData))
                           : nullptr;
  *v = PropValue{};
  return get && get(obj, property - kFirstOwnProperty, v);
}

int64_t readOwn(uint32_t typeCode, LiveObject* obj, int32_t property, int32_t element) {
  PropValue v;
  bool answered = getOwn(typeCode, obj, property, &v);
  PropForm form = propForm(propertyType(typeCode, property));
  if (form == PropForm::Font) return fontResult(answered ? &v : nullptr, element);
  return answered ? propertyResult(form, v) : 0;
}

// 1 when the component asks to be re-created to show the change.
int32_t writeOwn(uint32_t typeCode, LiveObject* obj, int32_t property, int32_t element,
                 uint32_t low, uint32_t high) {
  const TypeRecord* t = findType(typeCode);
  auto changed = t && t->iface
                     ? reinterpret_cast<PropertyChangedFn>(t->iface(kOpPropertyChanged))
                     : nullptr;
  if (!changed) return 0;
  PropValue v;
  PropForm form = propForm(propertyType(typeCode, property));
  uint8_t font[kFontDescriptionSize];
  if (form == PropForm::Font) {
    PropValue current;
    if (!fontArgument(getOwn(typeCode, obj, property, &current) ? &current : nullptr, element, low, font))
      return 0;
    v.raw.data = font;
    v.raw.size = kFontDescriptionSize;
  } else if (!propertyArgument(form, low, high, &v)) {
    return 0;
  }
  return changed(obj, property - kFirstOwnProperty, &v, nullptr);
}

// The component wants re-creating to show a change.
void recreateAfterChange(uint32_t windowId, uint32_t componentId) {
  processEvents();
  ++state().suppress;
  if (LoadedWindow* w = findWindow(windowId)) recreateComponent(w, componentId);
  processEvents();
  lowerSuppression();
}

// A component on a page of a tab container other than the current page
// (the native tab control's selection) must stay hidden.
bool onHiddenPage(LoadedWindow* w, const ComponentRecord& r) {
  ComponentRecord* c = r.parent ? findRecord(w, r.parent) : nullptr;
  if (!c || c->typeCode != kTypeTabContainer || !c->object || !c->object->hwnd) return false;
  LRESULT current = SendMessageW(static_cast<HWND>(c->object->hwnd), TCM_GETCURSEL, 0, 0);
  LRESULT page = 0;
  for (uint32_t id : c->children) {
    if (id == 0) ++page;
    else if (id == r.id) return page != current;
  }
  return false;
}

// Menu items: 0 caption, 1 check mark, 2 disabled, 3 visible (stored as
// the hidden bit); a change rebuilds the window's menu.
void writeMenuItem(LoadedWindow* w, ComponentRecord& r, int32_t property, uint32_t low) {
  uint32_t flags;
  std::memcpy(&flags, r.menuBytes, 4);
  const uint32_t before = flags;
  auto setBit = [&](uint32_t bit, bool on) { flags = on ? (flags | bit) : (flags & ~bit); };
  switch (property) {
    case 0: {
      std::string caption(textOf(reinterpret_cast<const char*>(uintptr_t(low))));
      if (caption == r.caption) return;
      r.caption = caption;
      break;
    }
    case 1: setBit(kMenuChecked, low != 0); break;
    case 2: setBit(kMenuDisabled, low != 0); break;
    case 3: setBit(kMenuHidden, low == 0); break;
    default: return;
  }
  if (property != 0 && flags == before) return;
  std::memcpy(r.menuBytes, &flags, 4);
  rebuildMenu(w);
}

}  // namespace

int64_t readProperty(uint32_t windowId, uint32_t componentId, int32_t property, int32_t element) {
  Target t = target(windowId, componentId);
  ComponentRecord& r = *t.record;
  if (r.isMenuItem()) {
    uint32_t flags;
    std::memcpy(&flags, r.menuBytes, 4);
    switch (property) {
      case 0: return int64_t(uintptr_t(newText(r.caption)));
      case 1: return (flags & kMenuChecked) != 0;
      case 2: return (flags & kMenuDisabled) != 0;
      case 3: return (flags & kMenuHidden) == 0;
      default: return 0;
    }
  }
  switch (property) {
    case 0: case 1: case 2: case 3: {
      if (!t.hwnd) {
        const int32_t stored[] = {r.left, r.top, r.width, r.height};
        return stored[property];
      }
      RECT rc = liveRect(t.hwnd);
      const int32_t live[] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
      return live[property];
    }
    case 4: return int64_t(uintptr_t(newText(r.tag)));
    case 5:
      return t.hwnd ? (GetWindowLongW(t.hwnd, GWL_STYLE) & WS_VISIBLE) != 0
                    : (r.flags & kRecordVisible) != 0;
    case 6:
      return t.hwnd ? !IsWindowEnabled(t.hwnd) : (r.flags & kRecordDisabled) != 0;
    case 7: {
      std::vector<uint8_t> block = r.mousePointer;
      translatePointerBlock(&block, true);
      return int64_t(uintptr_t(newByteSet(block.data(), uint32_t(block.size()))));
    }
    default:
      if (property < 0) return 0;  // no such property: nothing to ask the component
      if (!t.hwnd) reportError("读取组件属性时发现指定窗口尚未载入", 0, int32_t(windowId), int32_t(componentId));
      return readOwn(r.typeCode, r.object, property, element);
  }
}

void writeProperty(uint32_t windowId, uint32_t componentId, int32_t property, int32_t element,
                   uint32_t low, uint32_t high) {
  Target t = target(windowId, componentId);
  ComponentRecord& r = *t.record;
  if (r.isMenuItem()) {
    writeMenuItem(t.window, r, property, low);
    return;
  }
  const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE;
  switch (property) {
    case 0: case 1: {
      int32_t v = clampPosition(int32_t(low));
      (property == 0 ? r.left : r.top) = v;
      if (t.hwnd) {
        RECT rc = liveRect(t.hwnd);
        SetWindowPos(t.hwnd, nullptr, property == 0 ? v : rc.left, property == 1 ? v : rc.top,
                     0, 0, keep | SWP_NOSIZE);
      }
      return;
    }
    case 2: case 3: {
      int32_t v = clampSize(int32_t(low));
      (property == 2 ? r.width : r.height) = v;
      if (t.hwnd) {
        RECT rc = liveRect(t.hwnd);
        SetWindowPos(t.hwnd, nullptr, 0, 0, property == 2 ? v : rc.right - rc.left,
                     property == 3 ? v : rc.bottom - rc.top, keep | SWP_NOMOVE);
      }
      return;
    }
    case 4:
      r.tag = std::string(textOf(reinterpret_cast<const char*>(uintptr_t(low))));
      return;
    case 5: {
      if (low) r.flags |= kRecordVisible;
      else r.flags &= ~kRecordVisible;
      if (!t.hwnd) return;
      const TypeRecord* type = findType(r.typeCode);
      bool isWindow = &r == &t.window->desc.records[0];
      if (!low) ShowWindow(t.hwnd, SW_HIDE);
      else if (isWindow) ShowWindow(t.hwnd, SW_SHOW);
      else if (!(type && (type->flags & kTypeFlagNeverShown)) && !onHiddenPage(t.window, r))
        ShowWindow(t.hwnd, SW_SHOWNA);
      return;
    }
    case 6:
      if (low) r.flags |= kRecordDisabled;
      else r.flags &= ~kRecordDisabled;
      if (t.hwnd) EnableWindow(t.hwnd, !low);
      return;
    case 7: {
      auto b = reinterpret_cast<const uint8_t*>(uintptr_t(low));
      r.mousePointer.assign(byteSetData(b), byteSetData(b) + byteSetSize(b));
      translatePointerBlock(&r.mousePointer, false);
      loadRecordPointer(&r);
      POINT at;
      // Moving the pointer onto itself makes the new shape show at once.
      if (t.hwnd && GetCursorPos(&at)) SetCursorPos(at.x, at.y);
      return;
    }
    default:
      if (property < 0) return;
      break;
  }
  if (!t.hwnd) reportError("修改组件属性时发现指定窗口尚未载入", 0, int32_t(windowId), int32_t(componentId));
  if (writeOwn(r.typeCode, r.object, property, element, low, high) == 1)
    recreateAfterChange(windowId, componentId);
}

int64_t readObjectProperty(uint32_t typeCode, LiveObject* obj, int32_t property, int32_t element) {
  if (!obj) return 0;
  if (property < kFirstOwnProperty) return readProperty(obj->windowId, obj->componentId, property, element);
  return readOwn(typeCode, obj, property, element);
}

void writeObjectProperty(uint32_t typeCode, LiveObject* obj, int32_t property, int32_t element,
                         uint32_t low, uint32_t high) {
  if (!obj) return;
  if (property < kFirstOwnProperty) writeProperty(obj->windowId, obj->componentId, property, element, low, high);
  else if (writeOwn(typeCode, obj, property, element, low, high) == 1)
    recreateAfterChange(obj->windowId, obj->componentId);
}

}  // namespace rt
