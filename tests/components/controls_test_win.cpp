#include <gtest/gtest.h>
#include "tests/components/harness_win.h"
#include <commctrl.h>
#include <vector>

using namespace harness;
using comp::ButtonProps;
using comp::EditBoxProps;

namespace {

constexpr uint32_t kEditId = 0x1601D0B6, kButtonId = 0x1601A14D, kTimerId = 0x1601D0AC;

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install();
    window = create(rt::kTypeWindow, {}, nullptr, 0, {0, 0, 640, 480}, kWindowRecord);
    ASSERT_NE(nullptr, window);
    parent = static_cast<HWND>(window->hwnd);
    ShowWindow(parent, SW_SHOW);
    pump(20);
    runtime().reset();
  }
  void TearDown() override {
    if (IsWindow(parent)) DestroyWindow(parent);
    pump(0);
  }
  rt::LiveObject* edit(const EditBoxProps& p, RECT r = {10, 10, 210, 40}) {
    rt::LiveObject* o = create(rt::kTypeEditBox, comp::writeEditBoxProps(p), parent, 140, r, kEditId, WS_VISIBLE);
    runtime().reset();
    return o;
  }
  rt::LiveObject* button(const ButtonProps& p) {
    rt::LiveObject* o = create(rt::kTypeButton, comp::writeButtonProps(p), parent, 110, {10, 60, 160, 110},
                               kButtonId, WS_VISIBLE);
    runtime().reset();
    return o;
  }
  rt::LiveObject* timer(const std::vector<uint8_t>& block) {
    return create(rt::kTypeTimer, block, parent, 130, {0, 0, 48, 32}, kTimerId);
  }
  rt::LiveObject* window = nullptr;
  HWND parent = nullptr;
};

HWND hwndOf(rt::LiveObject* o) { return static_cast<HWND>(o->hwnd); }

std::wstring textOf(HWND h) {
  wchar_t buf[256];
  GetWindowTextW(h, buf, 256);
  return buf;
}

// A 2 x 1 24-bit BMP file: one red and one blue pixel.
std::string tinyBmp() {
  const uint8_t bytes[] = {
      'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,          // file header
      40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0,        // info header
      0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 255, 255, 0, 0, 0, 0};                             // pixels, row padded
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// A 32-bit BMP file header declaring 16383 x 16383 pixels, a gigabyte,
// followed by a few bytes of them.
std::string hugeBmp() {
  const uint8_t bytes[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
      40, 0, 0, 0, 0xFF, 0x3F, 0, 0, 0xFF, 0x3F, 0, 0, 1, 0, 32, 0,
      0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Reserves the address space down to pieces below 64 MB while it lives, as
// a 32-bit process that has run for a while may have no gigabyte in one
// piece; 64 MB is given back for what else the test needs.
struct AddressSpaceHeld {
  std::vector<void*> held;
  AddressSpaceHeld() {
    for (SIZE_T chunk = SIZE_T(256) << 20; chunk >= (SIZE_T(64) << 20); chunk /= 2)
      while (void* p = VirtualAlloc(nullptr, chunk, MEM_RESERVE, PAGE_NOACCESS)) held.push_back(p);
    if (!held.empty()) VirtualFree(held.back(), 0, MEM_RELEASE), held.pop_back();
  }
  ~AddressSpaceHeld() {
    for (void* p : held) VirtualFree(p, 0, MEM_RELEASE);
  }
};

}  // namespace

TEST_F(ControlsTest, EditBoxStartupBlockRoundTripsFromTheLiveObject) {
  EditBoxProps p;
  p.content = "http://127.0.0.1:8080/q?c=120HYBKI30C";
  rt::LiveObject* e = edit(p);
  ASSERT_NE(nullptr, e);
  EXPECT_EQ(comp::writeEditBoxProps(p), allData(e));
  EXPECT_EQ(p.content, getText(e, 8));
  EXPECT_TRUE(GetWindowLongW(hwndOf(e), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongW(hwndOf(e), GWL_STYLE) & ES_AUTOHSCROLL);
  EXPECT_EQ(e, reinterpret_cast<rt::LiveObject*>(SendMessageW(hwndOf(e), rt::kMsgQueryObject, 0, 0)));
}

TEST_F(ControlsTest, SingleLineEditBoxGrowsToFitItsFont) {
  rt::LiveObject* e = edit(EditBoxProps(), {10, 10, 210, 20});
  RECT r;
  GetWindowRect(hwndOf(e), &r);
  HDC dc = GetDC(hwndOf(e));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  ReleaseDC(hwndOf(e), dc);
  EXPECT_GT(r.bottom - r.top, 10);
  EXPECT_GE(r.bottom - r.top, tm.tmHeight);
  EXPECT_EQ(200, r.right - r.left);
  // A multi-line box keeps the height it was given.
  EditBoxProps multi;
  multi.multiLine = 1;
  rt::LiveObject* m = create(rt::kTypeEditBox, comp::writeEditBoxProps(multi), parent, 150,
                             {10, 100, 210, 110}, 0x1601D0B7, WS_VISIBLE);
  GetWindowRect(hwndOf(m), &r);
  EXPECT_EQ(10, r.bottom - r.top);
}

TEST_F(ControlsTest, InputModesFilterCharacters) {
  struct Case { int32_t mode; wchar_t ch; bool accepted; };
  const Case cases[] = {
      {5, L'-', false}, {5, L'7', true}, {5, L'.', false}, {3, L'-', true}, {3, L'.', false},
      {3, L'a', false}, {4, L'.', true}, {9, L'-', true}, {10, L'x', false}, {0, L'-', true},
      {2, L'x', true},  {11, L'q', true}, {6, L'\u4e2d', false},
  };
  EditBoxProps p;
  rt::LiveObject* e = edit(p);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode * 100000 + c.ch);
    set(e, 18, c.mode);
    SetWindowTextW(hwndOf(e), L"");
    SendMessageW(hwndOf(e), WM_CHAR, c.ch, 1);
    EXPECT_EQ(c.accepted ? std::wstring(1, c.ch) : std::wstring(), textOf(hwndOf(e)));
    // Backspace is a control character and always passes.
    SendMessageW(hwndOf(e), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(std::wstring(), textOf(hwndOf(e)));
  }
}

TEST_F(ControlsTest, WritingContentRaisesEventZeroOnce) {
  rt::LiveObject* e = edit(EditBoxProps());
  EXPECT_EQ(0, setText(e, 8, "新内容"));
  pump(20);
  EXPECT_EQ(1, runtime().count(kEditId, 0));
  EXPECT_EQ("新内容", getText(e, 8));
  // A user's typing raises it through the control's own notification.
  runtime().reset();
  SendMessageW(hwndOf(e), WM_CHAR, L'x', 1);
  EXPECT_EQ(1, runtime().count(kEditId, 0));
}

TEST_F(ControlsTest, SelectionPropertiesCountBytes) {
  EditBoxProps p;
  p.content = "ab中文";  // 6 GBK bytes, 4 characters
  rt::LiveObject* e = edit(p);
  set(e, 25, -1);
  EXPECT_EQ(0, get(e, 24));
  EXPECT_EQ(6, get(e, 25));
  EXPECT_EQ("ab中文", getText(e, 26));
  set(e, 25, 0);
  set(e, 24, -1);
  DWORD s = 0, end = 0;
  SendMessageW(hwndOf(e), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(4u, s);
  EXPECT_EQ(4u, end);
  EXPECT_EQ(6, get(e, 24));
  set(e, 24, 2);
  set(e, 25, 2);
  EXPECT_EQ("中", getText(e, 26));
  set(e, 25, 0x7FFFFFFF);  // past the end: the rest of the text
  EXPECT_EQ("中文", getText(e, 26));
  set(e, 25, 2);
  setText(e, 26, "X");
  EXPECT_EQ(L"abX\u6587", textOf(hwndOf(e)));
}

TEST_F(ControlsTest, EditBoxClampsAndRecreationAnswers) {
  rt::LiveObject* e = edit(EditBoxProps());
  struct Case { int32_t property, written, stored, recreate; };
  const Case cases[] = {{9, 8, 5, 0},  {9, -2, 0, 0},  {16, 4, 3, 1}, {16, 3, 3, 0}, {17, -1, 0, 0},
                        {17, 9, 2, 1}, {18, 12, 11, 0}, {20, 3, 2, 1}, {21, 5, 2, 1}, {14, -5, 0, 0},
                        {15, 1, 1, 1}, {15, 1, 1, 0},  {13, 1, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property * 100 + c.written);
    EXPECT_EQ(c.recreate, set(e, c.property, c.written));
    EXPECT_EQ(c.stored, get(e, c.property));
  }
}

TEST_F(ControlsTest, MultiLineEditBoxWantsReturn) {
  auto wants = reinterpret_cast<rt::WantsKeyFn>(comp::editBoxInterface(rt::kOpWantsKey));
  EditBoxProps p;
  rt::LiveObject* single = edit(p);
  EXPECT_FALSE(wants(single, VK_RETURN));
  p.multiLine = 1;
  rt::LiveObject* multi = create(rt::kTypeEditBox, comp::writeEditBoxProps(p), parent, 150,
                                 {10, 100, 210, 160}, 0x1601D0B7, WS_VISIBLE);
  EXPECT_TRUE(wants(multi, VK_RETURN));
  EXPECT_FALSE(wants(multi, VK_TAB));
  set(multi, 18, 1);  // read-only
  EXPECT_FALSE(wants(multi, VK_RETURN));
}

TEST_F(ControlsTest, AutomaticUpDownWraps) {
  EditBoxProps p;
  p.upDownType = 1;
  p.upDownMin = 3;  // reversed limits: the range runs from the smaller
  p.upDownMax = 0;
  p.content = "3";
  rt::LiveObject* e = edit(p);
  HWND ud = GetDlgItem(parent, 144);
  ASSERT_NE(nullptr, ud);
  struct Step { int delta; const wchar_t* text; };
  const Step steps[] = {{1, L"0"}, {1, L"1"}, {-1, L"0"}, {-1, L"3"}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.text);
    NMUPDOWN n = {};
    n.hdr.hwndFrom = ud;
    n.hdr.idFrom = 144;
    n.hdr.code = UDN_DELTAPOS;
    n.iDelta = s.delta;
    SendMessageW(parent, WM_NOTIFY, 144, reinterpret_cast<LPARAM>(&n));
    EXPECT_EQ(std::wstring(s.text), textOf(hwndOf(e)));
  }
}

TEST_F(ControlsTest, ManualUpDownRaisesEventOne) {
  EditBoxProps p;
  p.upDownType = 2;
  rt::LiveObject* e = edit(p);
  HWND ud = GetDlgItem(parent, 144);
  ASSERT_NE(nullptr, ud);
  for (int delta : {0, -3}) {
    NMUPDOWN n = {};
    n.hdr = {ud, 144, UDN_DELTAPOS};
    n.iDelta = delta;
    SendMessageW(parent, WM_NOTIFY, 144, reinterpret_cast<LPARAM>(&n));
  }
  std::vector<int32_t> args;
  for (const Recorded& r : runtime().events)
    if (r.componentId == kEditId && r.event == 1) args.push_back(r.arg0);
  EXPECT_EQ((std::vector<int32_t>{1, -1}), args);
  (void)e;
}

TEST_F(ControlsTest, ButtonClickRaisesEventZero) {
  ButtonProps p;
  p.caption = "采集";
  rt::LiveObject* b = button(p);
  ASSERT_NE(nullptr, b);
  EXPECT_EQ(L"\u91c7\u96c6", textOf(hwndOf(b)));
  SendMessageW(hwndOf(b), BM_CLICK, 0, 0);
  pump(20);
  EXPECT_EQ(1, runtime().count(kButtonId, 0));
  EXPECT_EQ(comp::writeButtonProps(p), allData(b));
  auto isDefault = reinterpret_cast<rt::IsDefaultButtonFn>(comp::buttonInterface(rt::kOpIsDefaultButton));
  EXPECT_FALSE(isDefault(b));
  set(b, 9, 5);
  EXPECT_EQ(1, get(b, 9));
  EXPECT_TRUE(isDefault(b));
}

TEST_F(ControlsTest, ButtonAlignmentClamps) {
  rt::LiveObject* b = button(ButtonProps());
  EXPECT_EQ("按钮", getText(b, 10));
  struct Case { int32_t property, written, stored; DWORD bits; };
  const Case cases[] = {{11, 7, 2, BS_RIGHT}, {11, -1, 0, BS_LEFT}, {11, 1, 1, BS_CENTER},
                        {12, 9, 2, BS_BOTTOM}, {12, -4, 0, BS_TOP}, {12, 1, 1, BS_VCENTER}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property * 100 + c.written);
    EXPECT_EQ(0, set(b, c.property, c.written));
    EXPECT_EQ(c.stored, get(b, c.property));
    DWORD mask = c.property == 11 ? BS_CENTER : BS_VCENTER;
    EXPECT_EQ(c.bits, static_cast<DWORD>(GetWindowLongW(hwndOf(b), GWL_STYLE)) & mask);
  }
}

TEST_F(ControlsTest, ButtonPictureIsDecodedOrDropped) {
  ButtonProps p;
  p.picture = tinyBmp();
  rt::LiveObject* b = button(p);
  ASSERT_NE(nullptr, b);
  EXPECT_TRUE(GetWindowLongW(hwndOf(b), GWL_STYLE) & BS_BITMAP);
  HBITMAP bmp = reinterpret_cast<HBITMAP>(SendMessageW(hwndOf(b), BM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(nullptr, bmp);
  BITMAP info;
  GetObjectW(bmp, sizeof info, &info);
  EXPECT_EQ(2, info.bmWidth);
  EXPECT_EQ(1, info.bmHeight);
  EXPECT_EQ(1, set(b, 8, 0));  // a new picture needs re-creation

  uint32_t id = 0x1601A178;
  AddressSpaceHeld held;
  for (const std::string& picture : {std::string("not a picture"), hugeBmp()}) {
    SCOPED_TRACE(picture.size());
    p.picture = picture;
    rt::LiveObject* bad = create(rt::kTypeButton, comp::writeButtonProps(p), parent, 120,
                                 {10, 120, 160, 170}, id++, WS_VISIBLE);
    ASSERT_NE(nullptr, bad);
    EXPECT_FALSE(GetWindowLongW(hwndOf(bad), GWL_STYLE) & (BS_BITMAP | BS_ICON));
    EXPECT_EQ(L"\u6309\u94ae", textOf(hwndOf(bad)));
  }
  // As a window's background picture and icon, it is dropped as well.
  comp::WindowProps w;
  w.picture = w.icon = hugeBmp();
  rt::LiveObject* huge = create(rt::kTypeWindow, comp::writeWindowProps(w), nullptr, 0, {0, 0, 300, 200}, 0x06010001);
  ASSERT_NE(nullptr, huge);
  UpdateWindow(static_cast<HWND>(huge->hwnd));
  DestroyWindow(static_cast<HWND>(huge->hwnd));
}

TEST_F(ControlsTest, TimerStartsStoppedAndStopsOnNegativePeriod) {
  rt::LiveObject* t = timer({});
  ASSERT_NE(nullptr, t);
  EXPECT_FALSE(IsWindowVisible(hwndOf(t)));
  wchar_t cls[32];
  GetClassNameW(hwndOf(t), cls, 32);
  EXPECT_STREQ(L"_EL_Timer", cls);
  pump(150);
  EXPECT_EQ(0, runtime().count(kTimerId, 0));
  EXPECT_EQ(0, set(t, 8, 50));
  EXPECT_TRUE(pumpUntil([&] { return runtime().count(kTimerId, 0) >= 2; }, 3000));
  set(t, 8, -5);
  EXPECT_EQ(0, get(t, 8));
  // No native timer is left to kill.
  EXPECT_FALSE(KillTimer(hwndOf(t), 1000));
  EXPECT_EQ(comp::writeTimerProps(comp::TimerProps()), allData(t));
}

TEST_F(ControlsTest, TimerPeriodFromDataRunsAtCreation) {
  comp::TimerProps p;
  p.period = 30;
  rt::LiveObject* t = timer(comp::writeTimerProps(p));
  EXPECT_TRUE(pumpUntil([&] { return runtime().count(kTimerId, 0) >= 1; }, 3000));
  EXPECT_TRUE(KillTimer(hwndOf(t), 1000));
}

TEST_F(ControlsTest, WritingTheSamePeriodDoesNotRestart) {
  rt::LiveObject* t = timer({});
  set(t, 8, 400);
  DWORD first = GetTickCount();
  Sleep(300);
  set(t, 8, 400);  // a restart would push the tick to 400 ms from here
  DWORD second = GetTickCount();
  ASSERT_TRUE(pumpUntil([&] { return runtime().count(kTimerId, 0) >= 1; }, 3000));
  DWORD tick = GetTickCount();
  EXPECT_LT(tick - second, 390u) << "first write " << (tick - first) << " ms before the tick";
}

TEST_F(ControlsTest, NewerVersionsFailCreation) {
  struct Case { uint32_t type; uint32_t version; };
  const Case cases[] = {{rt::kTypeEditBox, 3}, {rt::kTypeButton, 2}, {rt::kTypeTimer, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    std::vector<uint8_t> block(128, 0);
    block[0] = static_cast<uint8_t>(c.version);
    EXPECT_EQ(nullptr, create(c.type, block, parent, 200, {0, 0, 50, 20}, 0x16010001));
  }
}

TEST_F(ControlsTest, ComponentsReportDestruction) {
  rt::LiveObject* e = edit(EditBoxProps());
  rt::LiveObject* b = button(ButtonProps());
  rt::LiveObject* t = timer({});
  DestroyWindow(hwndOf(b));
  DestroyWindow(hwndOf(e));
  DestroyWindow(hwndOf(t));
  EXPECT_EQ((std::vector<uint32_t>{kButtonId, kEditId, kTimerId}), runtime().destroyed);
}

TEST(CoreLibrary, RecordAndNotification) {
  EXPECT_EQ(20000101u, kCoreLibrary.formatVersion);
  EXPECT_EQ(0xC0000001u, kCoreLibrary.state);
  EXPECT_EQ(5, kCoreLibrary.major);
  EXPECT_EQ(51, kCoreLibrary.typeCount);
  EXPECT_EQ(18, kCoreLibrary.commandCount);
  struct Case { int type; int props; bool component; };
  const Case cases[] = {{1, 32, true}, {5, 29, true}, {11, 14, true}, {32, 9, true}, {2, 0, false},
                        {21, 0, false}, {51, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const rt::TypeRecord& t = kCoreLibrary.types[c.type - 1];
    EXPECT_EQ(c.props, t.propertyCount);
    EXPECT_EQ(c.component, t.iface != nullptr);
    EXPECT_EQ(c.component, (t.flags & 0x44) != 0);
  }
  // The menu item raises events but has no interface: the runtime builds it.
  const rt::TypeRecord& menu = kCoreLibrary.types[2];
  EXPECT_EQ(4, menu.propertyCount);
  EXPECT_EQ(nullptr, menu.iface);
  EXPECT_EQ(rt::kTypeFlagComponent, menu.flags);
  EXPECT_TRUE(kCoreLibrary.types[10].flags & rt::kTypeFlagDefaultButton);
  EXPECT_TRUE(kCoreLibrary.types[31].flags & rt::kTypeFlagNeverShown);
  EXPECT_EQ(1013, kCoreLibrary.types[4].properties[12].type);  // edit box font
  EXPECT_EQ(0xE000, kCoreLibrary.types[0].properties[7].flags);
  for (int code : {0, 3, 6, 17, 2000})
    EXPECT_EQ(-1, kCoreLibrary.notify(code, 0, 0)) << code;
  // Operations each type offers, and only those.
  const int ops[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12};
  rt::ComponentInterface ifaces[] = {comp::windowInterface, comp::editBoxInterface, comp::buttonInterface,
                                     comp::timerInterface};
  const char* want[] = {"10011110100", "10011101100", "10011100110", "10011100000"};
  for (int i = 0; i < 4; ++i) {
    std::string got;
    for (int op : ops) got += ifaces[i](op) ? '1' : '0';
    EXPECT_EQ(want[i], got) << i;
  }
}

// The maximum length counts GBK bytes: 吴 is two, a letter one.
TEST_F(ControlsTest, TextLimitCountsGbkBytes) {
  enum Action { kType, kReplace, kPaste };
  struct Case {
    int32_t limit;
    const wchar_t* before;
    int selStart, selEnd;   // -1: caret at the end
    Action action;
    const wchar_t* input;
    const wchar_t* after;
  };
  const Case cases[] = {
    {5, L"吴吴", -1, -1, kType, L"a", L"吴吴a"},
    {4, L"吴吴", -1, -1, kType, L"a", L"吴吴"},          // full: 4 of 4 bytes
    {5, L"吴吴", -1, -1, kType, L"吴", L"吴吴"},         // one byte left, two needed
    {4, L"吴吴", 0, 1, kType, L"a", L"a吴"},             // the selection's bytes are freed
    {4, L"", -1, -1, kReplace, L"ab吴c", L"ab吴"},
    {3, L"", -1, -1, kReplace, L"ab吴", L"ab"},          // never half a character
    {5, L"吴", -1, -1, kPaste, L"ab吴\r\ncd", L"吴ab"},
    {0, L"吴吴", -1, -1, kType, L"吴", L"吴吴吴"},        // 0: no limit of its own
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "limit " << c.limit << " input " << c.action);
    EditBoxProps p;
    p.maxLength = c.limit;
    HWND h = hwndOf(edit(p));
    SetWindowTextW(h, c.before);
    int end = lstrlenW(c.before);
    SendMessageW(h, EM_SETSEL, c.selStart < 0 ? end : c.selStart, c.selStart < 0 ? end : c.selEnd);
    if (c.action == kType) {
      SendMessageW(h, WM_CHAR, c.input[0], 1);
    } else if (c.action == kReplace) {
      SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(c.input));
    } else {
      ASSERT_TRUE(OpenClipboard(h));
      EmptyClipboard();
      size_t bytes = (lstrlenW(c.input) + 1) * sizeof(wchar_t);
      HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes);
      memcpy(GlobalLock(g), c.input, bytes);
      GlobalUnlock(g);
      SetClipboardData(CF_UNICODETEXT, g);
      CloseClipboard();
      SendMessageW(h, WM_PASTE, 0, 0);
    }
    EXPECT_EQ(std::wstring(c.after), textOf(h));
    DestroyWindow(h);
  }
}
