// Browser views and their pop-ups made and destroyed again and again, with
// every object the library makes on a heap that faults when a released one
// is read. Event 29 comes once per view, notification 2000 once per
// component, and nothing touches a view after its window is gone.
#include <gtest/gtest.h>

#include "browser/browser_library.h"
#include "browser/browser_view.h"
#include "browser/engine_loader.h"
#include "tests/browser/guarded_heap_win.h"
#include "harness/browser_host_win.h"

namespace {

using host::kComponentId;
using host::kWindowId;

constexpr int32_t kNewWindowRequested = 4, kPopupCreating = 26, kPopupCreated = 27, kWindowClosing = 28,
                  kWindowDestroyed = 29;

HWND newForm() {
  return CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 1400, 900, nullptr,
                         nullptr, nullptr, nullptr);
}

// A component view in a form of its own, the engine double told when to
// send its window-destroy notice.
rt::LiveObject* viewIn(HWND form, bool lateDestroyNotice, uint32_t componentId = kComponentId) {
  host::startWithDouble();
  rt::LiveObject* live = host::createView(form, componentId);
  host::takeBoxes();   // the double's two missing exports, on the first binding
  if (live) host::doubleSetLateDestroy(lateDestroyNotice);
  return live;
}

std::vector<int32_t> eventNumbers() {
  std::vector<int32_t> out;
  for (const host::RecordedEvent& e : host::events()) out.push_back(e.event);
  return out;
}

wkeWebView openPopup(wkeWebView opener) {
  DoubleCallback create = host::doubleCallback(opener, "wkeOnCreateView");
  wkeWindowFeatures features = {10, 20, 300, 200, false, false, false, false, false, false, false};
  return reinterpret_cast<wkeCreateViewCallback>(create.fn)(
      opener, create.param, 0, host::doubleString(L"http://127.0.0.1/p"), &features);
}

void allowNewWindows(rt::LiveObject* live) {
  auto write = reinterpret_cast<rt::PropertyChangedFn>(
      kBrowserLibrary.types[4].iface(rt::kOpPropertyChanged));
  rt::PropValue on{};
  on.i = 1;
  write(live, 8, &on, nullptr);
}

class GuardedHeap : public ::testing::Test {
 protected:
  void SetUp() override {
    guarded::enable(true);
    blocksBefore_ = guarded::blocks();
    host::events().clear();
    host::destroyedIds().clear();
    host::answer() = {};
  }
  void TearDown() override {
    host::answer() = {};
    // The rounds really ran over the guarded heap.
    EXPECT_GT(guarded::blocks(), blocksBefore_);
    guarded::enable(false);
  }
  size_t blocksBefore_ = 0;
};

// Asked of the memory manager, not found by touching the memory: a fault
// caught and survived is not dependable under a 32-bit emulator, while one
// that ends the test run is all the guarded heap needs.
bool readable(uintptr_t where) {
  MEMORY_BASIC_INFORMATION info;
  return VirtualQuery(reinterpret_cast<const void*>(where), &info, sizeof info) &&
         info.State == MEM_COMMIT && (info.Protect & PAGE_READWRITE);
}

TEST(GuardedHeapSelf, ReleasedBlocksCannotBeRead) {
  guarded::enable(true);
  auto* p = new int[4]{1, 2, 3, 4};
  guarded::enable(false);
  ASSERT_TRUE(guarded::owns(p));
  uintptr_t where = uintptr_t(p);
  EXPECT_TRUE(readable(where));
  EXPECT_FALSE(readable(where + 4096)) << "a guard page follows the block";
  delete[] p;
  EXPECT_FALSE(readable(where));
}

// The form closes with the view in it after the view opened a pop-up and
// the pop-up was closed again; with the engine's notice in WM_DESTROY and,
// as a late engine might send it, in WM_NCDESTROY.
TEST_F(GuardedHeap, ViewsAndPopupsComeAndGo) {
  for (bool late : {false, true}) {
    SCOPED_TRACE(late ? "notice in WM_NCDESTROY" : "notice in WM_DESTROY");
    for (int round = 0; round < 6; ++round) {
      SCOPED_TRACE(round);
      host::events().clear();
      host::destroyedIds().clear();
      HWND form = newForm();
      rt::LiveObject* live = viewIn(form, late);
      ASSERT_NE(live, nullptr);
      wkeWebView web = web::liveView(live)->webView;
      allowNewWindows(live);
      wkeWebView popup = openPopup(web);
      ASSERT_NE(popup, nullptr);
      HWND popupWindow = web::gEngine.wkeGetWindowHandle(popup);
      ASSERT_TRUE(IsWindow(popupWindow));
      SendMessageW(popupWindow, WM_CLOSE, 0, 0);
      EXPECT_FALSE(IsWindow(popupWindow));
      EXPECT_TRUE(host::destroyedIds().empty());   // a pop-up is no component

      DestroyWindow(form);
      EXPECT_EQ(web::liveView(live), nullptr);
      EXPECT_EQ(web::FindView(host::viewArg()), nullptr);
      // The pop-up raises nothing of its own; a notice that comes after the
      // view was released reaches nobody.
      std::vector<int32_t> expected = {kNewWindowRequested, kPopupCreating, kPopupCreated};
      if (!late) expected.push_back(kWindowDestroyed);
      EXPECT_EQ(eventNumbers(), expected);
      if (!late) {
        EXPECT_EQ(host::events().back().ints, std::vector<int32_t>{int32_t(uintptr_t(web))});
      }
      ASSERT_EQ(host::destroyedIds().size(), 1u);
      EXPECT_EQ(host::destroyedIds()[0].windowId, kWindowId);
      EXPECT_EQ(host::destroyedIds()[0].componentId, kComponentId);
    }
  }
}

// Creating a component that is still registered closes its old window; the
// view object moves to the new window and outlives the old one.
TEST_F(GuardedHeap, RecreatedComponentOutlivesItsOldWindow) {
  HWND form = newForm();
  rt::LiveObject* first = viewIn(form, false);
  ASSERT_NE(first, nullptr);
  HWND oldWindow = HWND(first->hwnd);
  wkeWebView oldWeb = web::liveView(first)->webView;
  rt::LiveObject* second = host::createView(form, kComponentId);
  ASSERT_EQ(second, first);
  MSG msg;
  for (int i = 0; i < 200 && IsWindow(oldWindow); ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(5);
  }
  EXPECT_FALSE(IsWindow(oldWindow));
  EXPECT_TRUE(host::destroyedIds().empty());
  EXPECT_EQ(eventNumbers(), (std::vector<int32_t>{kWindowClosing, kWindowDestroyed}));
  for (const host::RecordedEvent& e : host::events())
    EXPECT_EQ(e.ints, std::vector<int32_t>{int32_t(uintptr_t(oldWeb))});
  web::View* view = web::liveView(second);
  ASSERT_NE(view, nullptr);
  EXPECT_NE(view->webView, oldWeb);
  EXPECT_TRUE(IsWindow(HWND(view->hwnd)));
  EXPECT_EQ(web::FindView(host::viewArg()), view);
  DestroyWindow(form);
  EXPECT_EQ(host::destroyedIds().size(), 1u);
  EXPECT_EQ(web::liveView(second), nullptr);
}

HWND gClosing;

// A routine that closes the whole form from inside the view's event.
void closeForm(int32_t) {
  HWND form = gClosing;
  gClosing = nullptr;
  if (form) DestroyWindow(form);
}

TEST_F(GuardedHeap, RoutineClosesTheFormInsideAnEvent) {
  struct Case {
    const char* name;
    UINT msg;
    WPARAM wp;
    const char* engineLine;   // what the double logs when the message reaches it
  };
  const Case cases[] = {
      {"F5 key", WM_KEYDOWN, VK_F5, "WM_KEYDOWN 116"},
      {"character", WM_CHAR, 'a', "WM_CHAR 97"},
      {"left button", WM_LBUTTONDOWN, 0, nullptr},
      {"focus", WM_SETFOCUS, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host::destroyedIds().clear();
    HWND form = newForm();
    rt::LiveObject* live = viewIn(form, false);
    ASSERT_NE(live, nullptr);
    HWND hwnd = HWND(live->hwnd);
    gClosing = form;
    host::answer() = {true, 1, 1, nullptr, closeForm};   // the routine lets it pass
    host::doubleReset();
    SendMessageW(hwnd, c.msg, c.wp, 0);
    host::answer() = {};
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(host::destroyedIds().size(), 1u);
    std::string log = host::doubleLog();
    EXPECT_EQ(log.find("wkeReload"), std::string::npos) << log;
    if (c.engineLine) {
      EXPECT_EQ(log.find(c.engineLine), std::string::npos) << log;
    }
  }
}

}  // namespace
