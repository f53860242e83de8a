// Loading windows with the real loader, the real core components and the
// runtime initialised as a program's is: modal loads, showing after load,
// focus choice, activation events, re-creation order and property numbers.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "components/core_library.h"
#include "components/property_blocks.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"
#include "tests/components/form_record_win.h"

namespace {

constexpr uint32_t kOwnId = 0x06010000;
constexpr uint32_t kIds[] = {0x1601C001, 0x1601C002, 0x1601C003};

// What the event routines saw, as "event@component" words.
std::vector<std::string> gEvents;

std::string word(int32_t event) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d@%X", event, unsigned(rt::state().sourceComponent));
  return buf;
}
void RT_CDECL onEvent0(rt::RoutineResult*) { gEvents.push_back(word(0)); }
void RT_CDECL onEvent5(rt::RoutineResult*) { gEvents.push_back(word(5)); }
void RT_CDECL onEvent6(rt::RoutineResult*) { gEvents.push_back(word(6)); }
HWND gOther;  // a plain top-level window the first-activation routine activates
void RT_CDECL onEvent8(rt::RoutineResult*) {
  gEvents.push_back(word(8));
  SetActiveWindow(gOther);
  gEvents.push_back("8 end");
}

rt::EventBinding bind(int32_t event, void (RT_CDECL* fn)(rt::RoutineResult*)) {
  return {event, 0, uintptr_t(reinterpret_cast<void*>(fn))};
}

// A test type in a second library, recording which property indexes it is
// asked for. Its property table has a raw-data record in front of it, so
// an index before the table would be taken for a property.
std::vector<int32_t> gAsked;
int32_t RT_CALL probeGet(rt::LiveObject*, int32_t index, rt::PropValue* out) {
  gAsked.push_back(index);
  out->w[0] = out->w[1] = 0;
  return 1;
}
int32_t RT_CALL probeChanged(rt::LiveObject*, int32_t index, const rt::PropValue*, const char**) {
  gAsked.push_back(index);
  return 0;
}
LRESULT CALLBACK probeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* obj = reinterpret_cast<rt::LiveObject*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (msg == rt::kMsgQueryObject) return LRESULT(obj);
  if (msg == WM_NCDESTROY && obj) {
    rt::notify(rt::kNotifyDestroyed, obj->windowId, obj->componentId);
    delete obj;
  }
  return DefWindowProcW(h, msg, wp, lp);
}
rt::LiveObject* RT_CALL probeCreate(const uint8_t*, uint32_t, uint32_t style, void* parent,
                                    uint32_t id, void*, int32_t x, int32_t y, int32_t cx,
                                    int32_t cy, uint32_t windowId, uint32_t componentId, void*,
                                    int32_t) {
  HWND h = CreateWindowExW(0, L"PropertyProbe", L"", WS_CHILD | style, x, y, cx, cy,
                           static_cast<HWND>(parent), HMENU(uintptr_t(id)), nullptr, nullptr);
  auto* obj = new rt::LiveObject{h, windowId, componentId, 0x00020001, nullptr};
  SetWindowLongPtrW(h, GWLP_USERDATA, LONG_PTR(obj));
  return obj;
}
void* RT_CALL probeInterface(int32_t op) {
  switch (op) {
    case rt::kOpCreate: return reinterpret_cast<void*>(probeCreate);
    case rt::kOpGetPropertyData: return reinterpret_cast<void*>(probeGet);
    case rt::kOpPropertyChanged: return reinterpret_cast<void*>(probeChanged);
    default: return nullptr;
  }
}
const rt::PropertyRecord kProbeProperties[10] = {
    {nullptr, nullptr, nullptr, 1009, 0, nullptr},  // in front of the table
    {}, {}, {}, {}, {}, {}, {}, {},                 // common properties 0-7
    {nullptr, nullptr, nullptr, 1001, 0x8000, nullptr},
};
const rt::TypeRecord kProbeType = {"探针", "probe", nullptr, 0, nullptr, 0x40, 0, 0, nullptr,
                                   9, kProbeProperties + 1, probeInterface, 0, nullptr};
rt::LibraryRecord makeProbeLibrary() {
  rt::LibraryRecord lib{};
  lib.formatVersion = 20000101;
  lib.typeCount = 1;
  lib.types = &kProbeType;
  return lib;
}
const rt::LibraryRecord kProbeLibrary = makeProbeLibrary();
const rt::LibraryRecord* const kLibraries[] = {&kCoreLibrary, &kProbeLibrary};
const rt::ProgramHeader kHeader = {3, 0, 146253, nullptr, nullptr, 0, nullptr, 0,
                                   2, kLibraries, 0, nullptr, nullptr};

rt::ComponentRecord button(int i, uint32_t focusOrder = 0, int32_t type = 0) {
  comp::ButtonProps p;
  p.type = type;
  rt::ComponentRecord r = record(kIds[i], rt::kTypeButton, {10 + 110 * i, 10, 110 + 110 * i, 40},
                                 rt::kRecordVisible | rt::kRecordTabStop, comp::writeButtonProps(p));
  r.focusOrder = focusOrder;
  r.events = {bind(0, onEvent0)};
  return r;
}

HWND mainOf(const rt::LoadedWindow& w) {
  rt::LiveObject* o = w.desc.records.empty() ? nullptr : w.desc.records[0].object;
  return o ? static_cast<HWND>(o->hwnd) : nullptr;
}

class WindowLoading : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = probeProc;
    wc.lpszClassName = L"PropertyProbe";
    RegisterClassW(&wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"PlainTopLevel";
    RegisterClassW(&wc);
    rt::state().header = &kHeader;
    rt::runtimeInit();
  }
  void SetUp() override {
    // As before the program's own loop: closing the last window posts no quit.
    rt::state().loopEntered = false;
    gEvents.clear();
    gAsked.clear();
    rt::state().windows.clear();
    rt::state().windows.reserve(8);  // loaded windows are reached by pointer
  }
  void TearDown() override {
    for (rt::LoadedWindow& w : rt::state().windows)
      if (HWND h = main(w)) DestroyWindow(h);
    if (gOther) DestroyWindow(gOther);
    gOther = nullptr;
    rt::processEvents();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    rt::state().windows.clear();
  }
  // Adds a window description (not yet loaded) and returns its table entry.
  static rt::LoadedWindow* add(uint32_t id, comp::WindowProps p,
                               std::vector<rt::ComponentRecord> components,
                               std::vector<rt::EventBinding> events = {}) {
    rt::LoadedWindow w;
    w.id = id;
    rt::ComponentRecord own = record(kOwnId, rt::kTypeWindow, {100, 100, 560, 400},
                                     rt::kRecordVisible, comp::writeWindowProps(p));
    own.events = std::move(events);
    w.desc.records.push_back(std::move(own));
    for (auto& c : components) w.desc.records.push_back(std::move(c));
    rt::state().windows.push_back(std::move(w));
    return &rt::state().windows.back();
  }
  static comp::WindowProps props(int32_t position = 0) {
    comp::WindowProps p;
    p.caption = "载入";
    p.border = 1;   // resizable, so every position can be shown
    p.maxBox = 1;
    p.position = position;
    return p;
  }
  static HWND main(const rt::LoadedWindow& w) { return mainOf(w); }
  static HWND hwndOf(uint32_t windowId, uint32_t id) {
    rt::LiveObject* o = rt::findObject(windowId, id);
    return o ? static_cast<HWND>(o->hwnd) : nullptr;
  }
  static void pump(int ms) {
    const DWORD end = GetTickCount() + DWORD(ms);
    while (GetTickCount() < end) {
      rt::processEvents();
      Sleep(5);
    }
  }
};

// Checks made inside the modal loop, by a timer, then the modal window closes.
struct ModalSeen {
  HWND modal, main;
  bool mainEnabled = true, ownedByHiddenOwner = false;
  HWND activeAfterRedirect = nullptr;
  uint32_t marker = 0;
} gSeen;

void CALLBACK inModalLoop(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  gSeen.modal = mainOf(rt::state().windows[2]);
  gSeen.mainEnabled = IsWindowEnabled(gSeen.main) != 0;
  gSeen.ownedByHiddenOwner = GetWindow(gSeen.modal, GW_OWNER) == rt::state().hideOwner;
  gSeen.marker = rt::state().modalMarker;
  SetActiveWindow(gSeen.main);   // the disabled window is activated again...
  gSeen.activeAfterRedirect = GetActiveWindow();
  PostMessageW(gSeen.modal, WM_CLOSE, 0, 0);
}

}  // namespace

TEST_F(WindowLoading, ModalLoadDisablesTheOthersUntilItCloses) {
  rt::LoadedWindow* first = add(0x52010011, props(), {});
  rt::LoadedWindow* disabled = add(0x52010012, props(), {});
  rt::LoadedWindow* modal = add(0x52010013, props(), {button(0)});
  ASSERT_TRUE(rt::loadWindow(first, false, nullptr, false));
  ASSERT_TRUE(rt::loadWindow(disabled, false, nullptr, false));
  EnableWindow(main(*disabled), FALSE);
  SetActiveWindow(main(*first));
  pump(50);
  gSeen = {};
  gSeen.main = main(*first);
  SetTimer(nullptr, 0, 200, inModalLoop);
  EXPECT_TRUE(rt::loadWindow(modal, false, nullptr, true));  // returns once it has closed
  EXPECT_FALSE(gSeen.mainEnabled);
  EXPECT_TRUE(gSeen.ownedByHiddenOwner);
  EXPECT_EQ(gSeen.marker, 0x52010013u);
  EXPECT_EQ(gSeen.activeAfterRedirect, gSeen.modal) << "...and hands the activation on";
  EXPECT_EQ(main(*modal), nullptr);
  EXPECT_EQ(rt::state().modalMarker, 0u);
  EXPECT_TRUE(IsWindowEnabled(main(*first)));
  EXPECT_FALSE(IsWindowEnabled(main(*disabled))) << "disabled before, disabled after";
}

namespace {

// A modal window destroyed while a second modal window it opened is up:
// once the second closes, the first one's load returns as well.
struct Nested {
  rt::LoadedWindow *outer, *inner;
  bool guardFired;
} gNested;
void CALLBACK destroyOuterCloseInner(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  DestroyWindow(mainOf(*gNested.outer));
  PostMessageW(mainOf(*gNested.inner), WM_CLOSE, 0, 0);
}
void CALLBACK openInner(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  SetTimer(nullptr, 0, 100, destroyOuterCloseInner);
  rt::loadWindow(gNested.inner, false, nullptr, true);
}
void CALLBACK guard(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  gNested.guardFired = true;
  PostQuitMessage(0);   // a modal loop ends on a quit message
}

}  // namespace

TEST_F(WindowLoading, OuterModalLoadEndsWhenItsWindowWentDuringAnInnerOne) {
  // Another window stays: with the last one gone a quit message would end
  // every loop anyway.
  ASSERT_TRUE(rt::loadWindow(add(0x52010017, props(), {}), false, nullptr, false));
  gNested = {add(0x52010014, props(), {}), add(0x52010015, props(), {}), false};
  SetTimer(nullptr, 0, 100, openInner);
  const UINT_PTR g = SetTimer(nullptr, 0, 10000, guard);
  EXPECT_TRUE(rt::loadWindow(gNested.outer, false, nullptr, true));
  KillTimer(nullptr, g);
  EXPECT_FALSE(gNested.guardFired) << "the outer loop ran on until a quit message";
  EXPECT_EQ(rt::state().modalMarker, 0u);
}

// Focus in a window that a loaded window only owns belongs to none of its
// records.
TEST_F(WindowLoading, RecordOfWindowStopsAtTheTopLevelWindow) {
  rt::LoadedWindow* w = add(0x52010016, props(), {button(0)});
  ASSERT_TRUE(rt::loadWindow(w, false, nullptr, false));
  HWND b = hwndOf(0x52010016, kIds[0]);
  HWND inside = CreateWindowExW(0, L"PlainTopLevel", L"", WS_CHILD, 0, 0, 5, 5, b, nullptr, nullptr, nullptr);
  HWND owned = CreateWindowExW(0, L"PlainTopLevel", L"", WS_POPUP, 0, 0, 5, 5, main(*w), nullptr, nullptr, nullptr);
  struct Case { HWND h; size_t want; } cases[] = {
      {main(*w), 0}, {b, 1}, {inside, 1}, {owned, SIZE_MAX}, {nullptr, SIZE_MAX}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(rt::recordOfWindow(w, c.h), c.want);
  }
  DestroyWindow(owned);
}

TEST_F(WindowLoading, ShownAfterLoadAsThePositionPropertyAsks) {
  struct Case { int32_t position, border; bool zoomed, iconic; } cases[] = {
      {0, 1, false, false}, {1, 1, false, false}, {2, 1, false, true}, {3, 1, true, false},
      // A fixed frame gets no maximised style at creation; showing maximises.
      {3, 2, true, false}, {2, 2, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "position " << c.position << ", border " << c.border);
    rt::state().windows.clear();
    comp::WindowProps p = props(c.position);
    p.border = c.border;
    rt::LoadedWindow* w = add(0x52010021, p, {button(0)});
    ASSERT_TRUE(rt::loadWindow(w, false, nullptr, false));
    HWND h = main(*w);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(c.zoomed, IsZoomed(h) != 0);
    EXPECT_EQ(c.iconic, IsIconic(h) != 0);
    DestroyWindow(h);
  }
}

TEST_F(WindowLoading, FocusGoesByFocusOrderThenToTheLaterRecord) {
  struct Case { uint32_t orders[3]; int want; } cases[] = {
      {{2, 1, 3}, 1},
      {{1, 1, 5}, 1},   // a tie: the record nearer the end
      {{0, 0, 0}, 2},
      {{0, 4, 4}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.orders[0] << c.orders[1] << c.orders[2]);
    rt::state().windows.clear();
    rt::LoadedWindow* w = add(0x52010031, props(),
                              {button(0, c.orders[0]), button(1, c.orders[1]), button(2, c.orders[2])});
    ASSERT_TRUE(rt::loadWindow(w, false, nullptr, false));
    HWND h = main(*w);
    SetFocus(nullptr);
    SetFocus(h);
    pump(20);
    EXPECT_EQ(GetFocus(), hwndOf(0x52010031, kIds[c.want]));
    DestroyWindow(h);
  }
}

TEST_F(WindowLoading, ReturnClicksTheFirstDefaultButtonInRecordOrder) {
  comp::EditBoxProps edit;
  rt::ComponentRecord box = record(kIds[2], rt::kTypeEditBox, {10, 60, 200, 90},
                                   rt::kRecordVisible | rt::kRecordTabStop, comp::writeEditBoxProps(edit));
  rt::LoadedWindow* w = add(0x52010041, props(), {button(0, 0, 0), button(1, 0, 1), box});
  w->desc.records.insert(w->desc.records.begin() + 1, button(0, 0, 1));
  w->desc.records[1].id = 0x1601C004;   // a default button before all others
  ASSERT_TRUE(rt::loadWindow(w, false, nullptr, false));
  HWND edit_ = hwndOf(0x52010041, kIds[2]);
  SetFocus(edit_);
  gEvents.clear();
  PostMessageW(edit_, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageW(edit_, WM_KEYUP, VK_RETURN, 0xC01C0001);
  pump(100);
  EXPECT_EQ(gEvents, std::vector<std::string>{"0@1601C004"});
}

TEST_F(WindowLoading, FirstActivationRoutineMayChangeTheActivation) {
  gOther = CreateWindowExW(0, L"PlainTopLevel", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 100,
                           200, 100, nullptr, nullptr, nullptr, nullptr);
  rt::LoadedWindow* w = add(0x52010051, props(), {},
                            {bind(8, onEvent8), bind(5, onEvent5), bind(6, onEvent6)});
  ASSERT_TRUE(rt::loadWindow(w, false, nullptr, false));
  pump(50);
  // Event 8's own routine deactivated the window: event 6 runs inside it;
  // then the first activation's event 5.
  ASSERT_GE(gEvents.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(gEvents.begin(), gEvents.begin() + 4),
            (std::vector<std::string>{"8@6010000", "6@6010000", "8 end", "5@6010000"}));
}

TEST_F(WindowLoading, ReCreatedComponentKeepsItsPlaceInZAndTabOrder) {
  rt::LoadedWindow* w = add(0x52010061, props(), {button(0), button(1), button(2)});
  ASSERT_TRUE(rt::loadWindow(w, false, nullptr, false));
  HWND h = main(*w);
  auto order = [&] {
    std::vector<uint32_t> ids;
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (auto* o = reinterpret_cast<rt::LiveObject*>(SendMessageW(c, rt::kMsgQueryObject, 0, 0)))
        ids.push_back(o->componentId);
    return ids;
  };
  const std::vector<uint32_t> before = order();
  ASSERT_EQ(before.size(), 3u);
  HWND old = hwndOf(0x52010061, kIds[1]);
  rt::writeProperty(0x52010061, kIds[1], 8, -1, 0, 0);   // the picture: re-created
  ASSERT_NE(hwndOf(0x52010061, kIds[1]), old);
  EXPECT_EQ(order(), before);
  // Tab from the first button still reaches the same next one.
  HWND first = hwndOf(0x52010061, before[0]);
  EXPECT_EQ(GetNextDlgTabItem(h, first, FALSE), hwndOf(0x52010061, before[1]));
}

TEST_F(WindowLoading, NegativePropertyNumbersReachNoComponent) {
  rt::ComponentRecord probe = record(kIds[0], 0x00020001, {10, 10, 60, 30}, rt::kRecordVisible, {});
  rt::LoadedWindow* w = add(0x52010071, props(), {probe});
  ASSERT_TRUE(rt::loadWindow(w, false, nullptr, false));
  for (int32_t property : {-1, -8, -9, -100}) {
    SCOPED_TRACE(property);
    EXPECT_EQ(rt::readProperty(0x52010071, kIds[0], property, -1), 0);
    rt::writeProperty(0x52010071, kIds[0], property, -1, 5, 0);
  }
  EXPECT_TRUE(gAsked.empty());
  rt::readProperty(0x52010071, kIds[0], 8, -1);   // the one real property
  EXPECT_EQ(gAsked, std::vector<int32_t>{0});
}
