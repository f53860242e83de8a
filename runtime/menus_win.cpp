// The window's menu bar and accelerator table, built from its menu-item
// records. A menu item's 12 bytes are three words: flags (bit 0 hidden,
// bit 1 checked, bit 2 disabled), shortcut (virtual key in the low 16 bits,
// bit 16 Ctrl, bit 17 Shift, bit 18 Alt) and nesting level (0 = the bar).
// An item followed by a deeper one opens a submenu. Each leaf item's
// command carries the item's component id as its item data.
#include <windows.h>
#include <cstring>
#include <vector>
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"

namespace rt {
namespace {

constexpr UINT kFirstCommand = 0x7000;   // below the system commands

uint32_t menuWord(const ComponentRecord& r, int i) {
  uint32_t v;
  std::memcpy(&v, r.menuBytes + 4 * i, 4);
  return v;
}

void addItem(HMENU parent, const ComponentRecord& r, UINT command, HMENU submenu) {
  uint32_t flags = menuWord(r, 0);
  std::wstring caption = gbkToWide(r.caption);
  MENUITEMINFOW mi = {};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID | MIIM_DATA | (submenu ? MIIM_SUBMENU : 0);
  mi.fState = ((flags & kMenuChecked) ? MFS_CHECKED : 0) | ((flags & kMenuDisabled) ? MFS_DISABLED : 0);
  mi.wID = command;
  mi.dwItemData = r.id;
  mi.hSubMenu = submenu;
  mi.dwTypeData = caption.data();
  InsertMenuItemW(parent, GetMenuItemCount(parent), TRUE, &mi);
}

}  // namespace

bool buildMenu(LoadedWindow* w, void** menu, void** accel) {
  *menu = *accel = nullptr;
  const auto& recs = w->desc.records;
  std::vector<size_t> items;
  for (size_t i = 0; i < recs.size(); ++i)
    if (recs[i].isMenuItem()) items.push_back(i);
  if (items.empty()) return true;
  HMENU bar = CreateMenu();
  if (!bar) return false;
  std::vector<HMENU> open = {bar};    // open[level] takes items of that level
  std::vector<ACCEL> keys;
  uint32_t hiddenBelow = UINT32_MAX;  // items deeper than a hidden one are hidden too
  for (size_t k = 0; k < items.size(); ++k) {
    const ComponentRecord& r = recs[items[k]];
    uint32_t level = std::min<uint32_t>(menuWord(r, 2), uint32_t(open.size() - 1));
    if (level <= hiddenBelow) hiddenBelow = UINT32_MAX;
    if (hiddenBelow != UINT32_MAX) continue;
    if (menuWord(r, 0) & kMenuHidden) {
      hiddenBelow = level;
      continue;
    }
    open.resize(level + 1);
    UINT command = kFirstCommand + UINT(items[k]);
    bool opensSubmenu = k + 1 < items.size() && menuWord(recs[items[k + 1]], 2) > level;
    if (opensSubmenu) {
      HMENU sub = CreatePopupMenu();
      addItem(open[level], r, command, sub);
      open.push_back(sub);
      continue;
    }
    addItem(open[level], r, command, nullptr);
    uint32_t shortcut = menuWord(r, 1);
    if (shortcut & 0xFFFF) {
      BYTE virt = FVIRTKEY | ((shortcut & kShortcutCtrl) ? FCONTROL : 0) |
                  ((shortcut & kShortcutShift) ? FSHIFT : 0) | ((shortcut & kShortcutAlt) ? FALT : 0);
      keys.push_back({virt, WORD(shortcut & 0xFFFF), WORD(command)});
    }
  }
  *menu = bar;
  if (!keys.empty()) *accel = CreateAcceleratorTableW(keys.data(), int(keys.size()));
  return true;
}

void installMenu(LoadedWindow* w, void* menu, void* accel) {
  HWND main = w->desc.records.empty() || !w->desc.records[0].object
                  ? nullptr
                  : static_cast<HWND>(w->desc.records[0].object->hwnd);
  if (!main) return;
  HMENU old = GetMenu(main);
  if (old != menu) {
    SetMenu(main, static_cast<HMENU>(menu));
    if (old) DestroyMenu(old);
  }
  dropAccelerators(w);
  w->accel = accel;
  if (accel) SetPropW(main, kAcceleratorProperty, accel);
  DrawMenuBar(main);
}

void dropAccelerators(LoadedWindow* w) {
  if (!w->accel) return;
  if (!w->desc.records.empty() && w->desc.records[0].object)
    RemovePropW(static_cast<HWND>(w->desc.records[0].object->hwnd), kAcceleratorProperty);
  DestroyAcceleratorTable(static_cast<HACCEL>(w->accel));
  w->accel = nullptr;
}

bool rebuildMenu(LoadedWindow* w) {
  void *menu, *accel;
  if (!buildMenu(w, &menu, &accel)) return false;
  installMenu(w, menu, accel);
  return true;
}

}  // namespace rt
