// The page's file chooser: the engine asks for GetOpenFileNameW, and the
// library's diversion raises FileChooserOpening on a component view first.
#include <gtest/gtest.h>

#include "browser/browser_view.h"
#include "harness/browser_host_win.h"

namespace {

constexpr int32_t kFileChooserOpening = 32;

struct Chooser {
  wchar_t buffer[260];
  OPENFILENAMEW ofn;

  explicit Chooser(DWORD size) {
    for (wchar_t& c : buffer) c = L'#';   // what a caller may leave there
    ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = size;
    ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
  }
};

HWND gForm;
rt::LiveObject* gView;

void setUp() {
  host::startWithDouble();
  if (gView) return;
  gForm = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 1400, 900, nullptr,
                          nullptr, nullptr, nullptr);
  gView = host::createView(gForm, host::kComponentId);
  host::takeBoxes();   // the double's two missing exports
}

TEST(FileChooser, RoutineThatAnswersFalseChoosesTheFile) {
  setUp();
  ASSERT_NE(gView, nullptr);
  struct Case {
    const char* name;
    const char* chosen;        // GBK text the routine stores, null: none
    DWORD size;
    BOOL result;
    const wchar_t* buffer;     // expected, when chosen
    WORD offset, extension;
  };
  const Case cases[] = {
      {"whole name", "C:\\卷\\答题卡.png", 260, TRUE, L"C:\\卷\\答题卡.png", 5, 9},
      {"no extension", "D:\\scan", 260, TRUE, L"D:\\scan", 3, 0},
      {"name too long for the buffer", "C:\\卷\\答题卡.png", 8, FALSE, nullptr, 0, 0},
      {"no name", nullptr, 260, FALSE, nullptr, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host::events().clear();
    host::answer() = {true, 1, 0, c.chosen};
    Chooser ch(c.size);
    EXPECT_EQ(host::doubleOpenFile(&ch.ofn), c.result);
    host::answer() = {};
    ASSERT_EQ(host::events().size(), 1u);
    EXPECT_EQ(host::events()[0].event, kFileChooserOpening);
    EXPECT_EQ(host::events()[0].componentId, host::kComponentId);
    EXPECT_EQ(host::events()[0].texts, std::vector<std::string>{""});
    if (!c.buffer) continue;
    size_t n = wcslen(c.buffer);
    EXPECT_EQ(std::wstring(ch.buffer), c.buffer);
    EXPECT_EQ(ch.buffer[n + 1], 0);   // a one-file list for multiple selection
    EXPECT_EQ(ch.ofn.nFileOffset, c.offset);
    EXPECT_EQ(ch.ofn.nFileExtension, c.extension);
  }
}

// A routine that lets the chooser open shows the real dialog with its name
// filled in; afterwards the next chooser is diverted again.
TEST(FileChooser, RealDialogOpensWithTheNameAndTheDiversionStays) {
  setUp();
  ASSERT_NE(gView, nullptr);
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::string exeGbk = host::toGbk(exe);
  host::events().clear();
  host::takeBoxes();
  host::answer() = {true, 0, 0, exeGbk.c_str()};   // no answer: the dialog opens
  Chooser ch(260);
  ch.ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  BOOL opened = host::doubleOpenFile(&ch.ofn);
  std::vector<host::Box> boxes = host::takeBoxes();
  EXPECT_EQ(boxes.size(), 1u);   // the dialog itself, answered with OK
  EXPECT_TRUE(opened);
  EXPECT_EQ(std::wstring(ch.buffer), exe);

  host::answer() = {true, 1, 0, "C:\\a.txt"};
  Chooser again(260);
  EXPECT_TRUE(host::doubleOpenFile(&again.ofn));
  host::answer() = {};
  EXPECT_EQ(std::wstring(again.buffer), L"C:\\a.txt");
  EXPECT_EQ(host::takeBoxes().size(), 0u);
  EXPECT_EQ(host::events().size(), 2u);
}

// The first component view is gone: the next one takes its place.
TEST(FileChooser, NextComponentViewTakesOver) {
  setUp();
  ASSERT_NE(gView, nullptr);
  DestroyWindow(gForm);
  gView = nullptr;
  const uint32_t next = host::kComponentId + 1;
  HWND form = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 1400, 900,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host::createView(form, next), nullptr);
  host::events().clear();
  host::answer() = {true, 1, 0, "C:\\b.txt"};
  Chooser ch(260);
  EXPECT_TRUE(host::doubleOpenFile(&ch.ofn));
  host::answer() = {};
  ASSERT_EQ(host::events().size(), 1u);
  EXPECT_EQ(host::events()[0].componentId, next);
  DestroyWindow(form);
}

}  // namespace
