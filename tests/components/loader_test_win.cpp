// The core components as the runtime's window loader creates and shows
// them: a form built in the test, loaded by the real loader, then read and
// written through the property services.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include "components/core_library.h"
#include "components/property_blocks.h"
#include "runtime/font_values.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"
#include "tests/components/form_record_win.h"

namespace {

constexpr uint32_t kWindowId = 0x52010007;
constexpr uint32_t kOwnId = 0x06010000;
constexpr uint32_t kEditId = 0x1601B001;

// A tab container for the page rules: a native tab control with two pages.
rt::LiveObject* RT_CALL createTabs(const uint8_t*, uint32_t, uint32_t style, void* parent, uint32_t controlId,
                                   void*, int32_t left, int32_t top, int32_t width, int32_t height,
                                   uint32_t windowId, uint32_t componentId, void*, int32_t) {
  HWND h = CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_CLIPSIBLINGS | style, left, top, width,
                           height, static_cast<HWND>(parent), reinterpret_cast<HMENU>(uintptr_t(controlId)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!h) return nullptr;
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  for (const wchar_t* name : {L"一", L"二"}) {
    item.pszText = const_cast<wchar_t*>(name);
    SendMessageW(h, TCM_INSERTITEMW, SendMessageW(h, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
  }
  return new rt::LiveObject{h, windowId, componentId, rt::kTypeTabContainer, nullptr};
}
void* RT_CALL tabsInterface(int32_t op) { return op == rt::kOpCreate ? reinterpret_cast<void*>(createTabs) : nullptr; }

// The core library with a tab container in its place (type 21).
const rt::LibraryRecord* testLibrary() {
  static rt::TypeRecord types[51];
  static rt::LibraryRecord lib = kCoreLibrary;
  std::copy(comp::kCoreTypes, comp::kCoreTypes + 51, types);
  types[20] = {"选择夹", "Tab", nullptr, 0, nullptr, rt::kTypeFlagWindowComponent | rt::kTypeFlagPages,
               0, 0, nullptr, 8, comp::kCoreTypes[0].properties, tabsInterface, 0, nullptr};
  lib.types = types;
  return &lib;
}

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::RuntimeState& s = rt::state();
    if (s.libraries.empty()) {
      s.libraries.push_back({testLibrary(), 0});
      kCoreLibrary.notify(rt::kLibStart, reinterpret_cast<uint32_t>(&rt::notify), 0);
    }
    s.windows.clear();
  }
  void TearDown() override {
    if (HWND h = main()) DestroyWindow(h);
    rt::processEvents();
    rt::state().windows.clear();
  }
  // Loads a window whose record 0 is an ordinary visible window.
  bool load(std::vector<rt::ComponentRecord> components) {
    rt::LoadedWindow w;
    w.id = kWindowId;
    comp::WindowProps p;
    p.caption = "载入";
    w.desc.records.push_back(record(kOwnId, rt::kTypeWindow, {100, 100, 500, 400}, rt::kRecordVisible,
                                    comp::writeWindowProps(p)));
    for (auto& c : components) w.desc.records.push_back(std::move(c));
    rt::state().windows.push_back(std::move(w));
    bool ok = rt::loadWindow(&rt::state().windows.back(), false, nullptr, false);
    rt::processEvents();
    return ok;
  }
  rt::LoadedWindow& window() { return rt::state().windows.back(); }
  HWND main() {
    if (rt::state().windows.empty()) return nullptr;
    rt::LiveObject* o = window().desc.records[0].object;
    return o ? static_cast<HWND>(o->hwnd) : nullptr;
  }
  HWND hwndOf(uint32_t id) {
    rt::LiveObject* o = rt::findObject(kWindowId, id);
    return o ? static_cast<HWND>(o->hwnd) : nullptr;
  }
  void write(uint32_t id, int32_t property, uint32_t value) {
    rt::writeProperty(kWindowId, id, property, -1, value, 0);
    rt::processEvents();
  }
};

comp::EditBoxProps spinEdit() {
  comp::EditBoxProps p;
  p.content = "5";
  p.upDownType = 1;
  return p;
}

}  // namespace

TEST_F(LoaderTest, SpinControlFollowsItsEditBox) {
  ASSERT_TRUE(load({record(kEditId, rt::kTypeEditBox, {10, 10, 110, 34},
                           rt::kRecordVisible | rt::kRecordTabStop, comp::writeEditBoxProps(spinEdit()))}));
  HWND edit = hwndOf(kEditId);
  ASSERT_TRUE(edit);
  // The only component gets control id 100; its spin control 104.
  HWND spin = GetDlgItem(main(), 104);
  ASSERT_TRUE(spin);
  wchar_t cls[32];
  GetClassNameW(spin, cls, 32);
  EXPECT_STREQ(UPDOWN_CLASSW, cls);
  EXPECT_TRUE(IsWindowVisible(edit));
  EXPECT_TRUE(IsWindowVisible(spin)) << "shown with its edit box after loading";

  struct Step { int32_t property; uint32_t value; bool visible, enabled; };
  const Step steps[] = {
    {5, 0, false, true},   // hidden
    {5, 1, true, true},    // shown again
    {6, 1, true, false},   // disabled
    {6, 0, true, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "property " << s.property << " = " << s.value);
    write(kEditId, s.property, s.value);
    EXPECT_EQ(s.visible, IsWindowVisible(spin) != 0);
    EXPECT_EQ(s.enabled, IsWindowEnabled(spin) != 0);
  }
}

TEST_F(LoaderTest, SpinControlOfAHiddenEditBoxStaysHidden) {
  ASSERT_TRUE(load({record(kEditId, rt::kTypeEditBox, {10, 10, 110, 34}, rt::kRecordTabStop,
                           comp::writeEditBoxProps(spinEdit()))}));
  HWND spin = GetDlgItem(main(), 104);
  ASSERT_TRUE(spin);
  EXPECT_FALSE(IsWindowVisible(hwndOf(kEditId)));
  EXPECT_FALSE(IsWindowVisible(spin));
  write(kEditId, 5, 1);
  EXPECT_TRUE(IsWindowVisible(spin));
}

namespace {

constexpr uint32_t kButtonId = 0x1601B002;

LOGFONTW fontOf(HWND h) {
  LOGFONTW lf = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

}  // namespace

// Font properties: the edit box's 12 and the button's 13, whole or by field.
TEST_F(LoaderTest, FontPropertiesReadAndWriteByElement) {
  ASSERT_TRUE(load({record(kEditId, rt::kTypeEditBox, {10, 10, 210, 40}, rt::kRecordVisible, {}),
                    record(kButtonId, rt::kTypeButton, {10, 60, 160, 110}, rt::kRecordVisible, {})}));
  HWND button = hwndOf(kButtonId);
  const int dpi = [] { HDC dc = GetDC(nullptr); int d = GetDeviceCaps(dc, LOGPIXELSY); ReleaseDC(nullptr, dc); return d; }();
  // Without a font of its own the button reports the font it shows.
  LOGFONTW gui = fontOf(button);
  auto* whole = reinterpret_cast<rt::FontValue*>(uintptr_t(rt::readProperty(kWindowId, kButtonId, 13, -1)));
  ASSERT_TRUE(whole);
  EXPECT_EQ(MulDiv(-gui.lfHeight, 72, dpi), whole->size);
  EXPECT_EQ(rt::wideToGbk(gui.lfFaceName), std::string(whole->face ? whole->face : ""));

  // One field at a time: the rest of the current font stays.
  rt::writeProperty(kWindowId, kButtonId, 13, 5, 20, 0);
  rt::writeProperty(kWindowId, kButtonId, 13, 1, 1, 0);
  LOGFONTW lf = fontOf(button);
  EXPECT_EQ(-MulDiv(20, dpi, 72), lf.lfHeight);
  EXPECT_EQ(700, lf.lfWeight);
  EXPECT_STREQ(gui.lfFaceName, lf.lfFaceName);
  EXPECT_EQ(20, rt::readProperty(kWindowId, kButtonId, 13, 5));
  EXPECT_EQ(1, rt::readProperty(kWindowId, kButtonId, 13, 1));
  EXPECT_EQ(0, rt::readProperty(kWindowId, kButtonId, 13, 2));

  // A whole font value for the edit box.
  char face[] = "\xBA\xDA\xCC\xE5";   // 黑体
  rt::FontValue v = {-450, 0, 1, 0, 1, 12, face};
  rt::writeProperty(kWindowId, kEditId, 12, -1, uint32_t(uintptr_t(&v)), 0);
  lf = fontOf(hwndOf(kEditId));
  EXPECT_EQ(-MulDiv(12, dpi, 72), lf.lfHeight);
  EXPECT_EQ(3150, lf.lfEscapement);
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_FALSE(lf.lfStrikeOut);
  EXPECT_STREQ(L"黑体", lf.lfFaceName);
  auto* faceRead = reinterpret_cast<char*>(uintptr_t(rt::readProperty(kWindowId, kEditId, 12, 6)));
  EXPECT_STREQ(face, faceRead);
  EXPECT_EQ(3150, rt::readProperty(kWindowId, kEditId, 12, 0));
}

namespace {

HCURSOR shownOver(HWND main, HWND under) {
  SetCursor(nullptr);
  SendMessageW(main, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return GetCursor();
}

HCURSOR classCursor(HWND h) { return reinterpret_cast<HCURSOR>(GetClassLongPtrW(h, GCLP_HCURSOR)); }

int32_t firstWord(const uint8_t* byteSet) {
  return byteSet && rt::byteSetSize(byteSet) >= 4 ? *reinterpret_cast<const int32_t*>(rt::byteSetData(byteSet)) : 0x7FFFFFFF;
}

}  // namespace

// Mouse pointers: stored internal numbers, public numbers for the
// application, cursors shown by the window over their components.
TEST_F(LoaderTest, MousePointersLoadTranslateAndShow) {
  rt::ComponentRecord edit = record(kEditId, rt::kTypeEditBox, {10, 10, 210, 40}, rt::kRecordVisible, {});
  edit.mousePointer = {3, 0, 0, 0};   // text beam
  rt::ComponentRecord button = record(kButtonId, rt::kTypeButton, {10, 60, 160, 110}, rt::kRecordVisible, {});
  ASSERT_TRUE(load({edit, button}));
  HWND editHwnd = hwndOf(kEditId);
  auto loaded = static_cast<HCURSOR>(GetPropW(editHwnd, rt::kPointerProperty));
  ASSERT_TRUE(loaded) << "loaded by the loader";
  EXPECT_EQ(loaded, window().desc.records[1].cursor);
  EXPECT_EQ(loaded, shownOver(main(), editHwnd));
  // Without a pointer of its own a component shows its class's cursor.
  EXPECT_EQ(classCursor(hwndOf(kButtonId)), shownOver(main(), hwndOf(kButtonId)));
  EXPECT_EQ(32513, firstWord(reinterpret_cast<uint8_t*>(uintptr_t(rt::readProperty(kWindowId, kEditId, 7, -1)))));

  // The application writes public numbers.
  const int32_t hand[] = {32649};
  rt::writeProperty(kWindowId, kButtonId, 7, -1, uint32_t(uintptr_t(rt::newByteSet(hand, 4))), 0);
  EXPECT_EQ(14, window().desc.records[2].mousePointer[0]);
  HCURSOR handCursor = shownOver(main(), hwndOf(kButtonId));
  EXPECT_TRUE(handCursor);
  EXPECT_NE(loaded, handCursor);
  EXPECT_EQ(32649, firstWord(reinterpret_cast<uint8_t*>(uintptr_t(rt::readProperty(kWindowId, kButtonId, 7, -1)))));

  const int32_t none[] = {0};
  rt::writeProperty(kWindowId, kEditId, 7, -1, uint32_t(uintptr_t(rt::newByteSet(none, 4))), 0);
  EXPECT_EQ(nullptr, GetPropW(editHwnd, rt::kPointerProperty));
  EXPECT_EQ(nullptr, window().desc.records[1].cursor);
  EXPECT_EQ(classCursor(editHwnd), shownOver(main(), editHwnd));
}

// A component on a tab page that is not showing stays hidden when made visible.
TEST_F(LoaderTest, VisibleHonoursTabPages) {
  constexpr uint32_t kTabsId = 0x1601B010, kFirstPage = 0x1601B011, kSecondPage = 0x1601B012;
  rt::ComponentRecord tabs = record(kTabsId, rt::kTypeTabContainer, {0, 0, 300, 200}, rt::kRecordVisible, {});
  tabs.children = {kFirstPage, 0, kSecondPage};
  rt::ComponentRecord first = record(kFirstPage, rt::kTypeButton, {10, 40, 100, 70}, rt::kRecordVisible, {});
  rt::ComponentRecord second = record(kSecondPage, rt::kTypeButton, {10, 80, 100, 110}, rt::kRecordVisible, {});
  first.parent = second.parent = kTabsId;
  ASSERT_TRUE(load({tabs, first, second}));
  HWND tabsHwnd = hwndOf(kTabsId);
  ASSERT_EQ(tabsHwnd, GetParent(hwndOf(kSecondPage)));
  EXPECT_TRUE(IsWindowVisible(hwndOf(kFirstPage)));
  EXPECT_FALSE(IsWindowVisible(hwndOf(kSecondPage))) << "the loader hides later pages";

  struct Step { int selected; uint32_t id; uint32_t value; bool shown; };
  const Step steps[] = {
    {0, kSecondPage, 1, false},   // page 2 is not the current page
    {0, kFirstPage, 0, false},
    {0, kFirstPage, 1, true},
    {1, kSecondPage, 1, true},    // now it is
    {1, kFirstPage, 0, false},
    {1, kFirstPage, 1, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "page " << s.selected << " id " << std::hex << s.id << " = " << s.value);
    SendMessageW(tabsHwnd, TCM_SETCURSEL, s.selected, 0);
    write(s.id, 5, s.value);
    EXPECT_EQ(s.shown, IsWindowVisible(hwndOf(s.id)) != 0);
    EXPECT_EQ(s.value, rt::findRecord(&window(), s.id)->flags & rt::kRecordVisible) << "stored either way";
  }
}

namespace {

std::vector<uint32_t> gChosen;   // menu items whose routine ran, in order

void RT_CDECL menuRoutine(rt::RoutineResult*) { gChosen.push_back(rt::state().sourceComponent); }

rt::ComponentRecord menuItem(uint32_t id, const char* caption, uint32_t flags, uint32_t shortcut,
                             uint32_t level) {
  rt::ComponentRecord c;
  c.id = id;
  c.typeCode = rt::kTypeMenuItem;
  const uint32_t words[3] = {flags, shortcut, level};
  std::memcpy(c.menuBytes, words, 12);
  c.caption = caption;
  c.events = {{0, 0, reinterpret_cast<uintptr_t>(&menuRoutine)}};
  return c;
}

std::wstring menuText(HMENU m, int pos) {
  wchar_t buf[64] = {};
  GetMenuStringW(m, pos, buf, 64, MF_BYPOSITION);
  return buf;
}

void pumpWithPreTranslation() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (!rt::preTranslate(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
}

}  // namespace

// Menu items become the menu bar, submenus by level; choosing an item or
// pressing its shortcut runs its routine; item properties rebuild the menu.
TEST_F(LoaderTest, MenuItemsMakeTheMenuAndShortcuts) {
  constexpr uint32_t kFile = 0x2601C001, kOpen = 0x2601C002, kHidden = 0x2601C003, kHelp = 0x2601C004;
  ASSERT_TRUE(load({menuItem(kFile, "文件", 0, 0, 0), menuItem(kOpen, "打开", 0, VK_F5, 1),
                    menuItem(kHidden, "隐藏", rt::kMenuHidden, 0, 1),
                    menuItem(kHelp, "帮助", rt::kMenuChecked, 0, 0)}));
  HMENU bar = GetMenu(main());
  ASSERT_TRUE(bar);
  ASSERT_EQ(2, GetMenuItemCount(bar));
  EXPECT_EQ(L"文件", menuText(bar, 0));
  EXPECT_EQ(L"帮助", menuText(bar, 1));
  EXPECT_TRUE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_CHECKED);
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_TRUE(file);
  ASSERT_EQ(1, GetMenuItemCount(file)) << "the hidden item is left out";
  EXPECT_EQ(L"打开", menuText(file, 0));

  gChosen.clear();
  SendMessageW(main(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(bar, 1), 0), 0);
  SendMessageW(main(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(file, 0), 0), 0);
  PostMessageW(main(), WM_KEYDOWN, VK_F5, 1);
  PostMessageW(main(), WM_KEYDOWN, VK_F6, 1);   // no item's shortcut
  pumpWithPreTranslation();
  EXPECT_EQ((std::vector<uint32_t>{kHelp, kOpen, kOpen}), gChosen);

  // Properties 0-3 of menu items.
  EXPECT_EQ(0, rt::readProperty(kWindowId, kHidden, 3, -1));
  EXPECT_EQ(1, rt::readProperty(kWindowId, kHelp, 1, -1));
  rt::writeProperty(kWindowId, kHidden, 3, -1, 1, 0);
  rt::writeProperty(kWindowId, kHelp, 1, -1, 0, 0);
  rt::writeProperty(kWindowId, kOpen, 2, -1, 1, 0);
  char caption[] = "打开文件";
  rt::writeProperty(kWindowId, kOpen, 0, -1, uint32_t(uintptr_t(caption)), 0);
  bar = GetMenu(main());
  file = GetSubMenu(bar, 0);
  ASSERT_TRUE(file);
  ASSERT_EQ(2, GetMenuItemCount(file));
  EXPECT_EQ(L"打开文件", menuText(file, 0));
  EXPECT_EQ(L"隐藏", menuText(file, 1));
  EXPECT_TRUE(GetMenuState(file, 0, MF_BYPOSITION) & MF_DISABLED);
  EXPECT_FALSE(GetMenuState(bar, 1, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_EQ(1, rt::readProperty(kWindowId, kHidden, 3, -1));
  auto* read = reinterpret_cast<char*>(uintptr_t(rt::readProperty(kWindowId, kOpen, 0, -1)));
  EXPECT_STREQ(caption, read);
}
