// The application's system routines on the real runtime: its service table,
// its DLL command table and its message processing, under Wine. One DLL
// command is redirected: CreateDirectoryW goes to app_test_dll.dll, which
// records the paths it is asked for.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "app/command_frame.h"
#include "app/dll_routines.h"
#include "runtime/core_commands.h"
#include "runtime/dll_commands.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"

namespace {

// The program's table, with CreateDirectoryW taken from the test DLL.
const char* kFiles[app::kDllCommandCount] = {
#define DLL_COMMAND(name, file, function) file,
#include "app/dll_command_list.inc"
#undef DLL_COMMAND
};
const char* const kFunctions[app::kDllCommandCount] = {
#define DLL_COMMAND(name, file, function) #function,
#include "app/dll_command_list.inc"
#undef DLL_COMMAND
};

int gProcessEvents = 0;  // ProcessEvents calls made through the service table

rt::Value RT_CALL countingCore(rt::CommandFn fn, int32_t argc, rt::Value* args) {
  if (fn == core::ProcessEvents) ++gProcessEvents;
  return rt::serviceTable().callCoreCommand(fn, argc, args);
}

rt::ServiceTable makeServices() {
  rt::ServiceTable s = rt::serviceTable();
  s.callCoreCommand = countingCore;
  return s;
}
const rt::ServiceTable kServices = makeServices();

int gTimerTicks = 0;

LRESULT CALLBACK testProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    ++gTimerTicks;
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

class SystemRoutines : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    kFiles[app::kCreateDirectoryW] = "app_test_dll.dll";
    rt::initDllCommands(app::kDllCommandCount, kFiles, kFunctions);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = testProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SystemRoutinesTest";
    RegisterClassW(&wc);
  }
  void SetUp() override {
    app::gServices = &kServices;
    gProcessEvents = 0;
    gTimerTicks = 0;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  static HWND window(int x, int y) {
    HWND h = CreateWindowExW(0, L"SystemRoutinesTest", L"t", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x,
                             y, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(h, nullptr);
    return h;
  }
  // Paths the recording CreateDirectoryW saw since the last call.
  static std::wstring recordedDirectories() {
    auto take = reinterpret_cast<void(WINAPI*)(wchar_t*, int32_t)>(
        GetProcAddress(GetModuleHandleW(L"app_test_dll.dll"), "TakeRecordedDirectories"));
    if (!take) return L"(the DLL was never loaded)";
    wchar_t buf[1024];
    take(buf, 1024);
    return buf;
  }
};

std::string narrow(const std::wstring& w) {
  char buf[2048];
  int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, buf, sizeof buf, nullptr, nullptr);
  return n > 0 ? std::string(buf, size_t(n - 1)) : std::string();
}

TEST_F(SystemRoutines, DelayWaitsItsTimeWhileWindowMessagesRun) {
  HWND h = window(100, 100);
  SetTimer(h, 1, 20, nullptr);
  struct Case { int64_t interval; int32_t unit; DWORD ms; } cases[] = {
      {300, 0, 300},   // milliseconds
      {1, 1, 1000},    // seconds
      {3, 100, 300},   // any other unit is milliseconds per step
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ms);
    gTimerTicks = 0;
    const DWORD start = GetTickCount();
    EXPECT_TRUE(app::Delay(c.interval, c.unit));
    const DWORD elapsed = GetTickCount() - start;
    // The tick count moves in steps of up to ~16 ms.
    EXPECT_GE(elapsed + 16, c.ms);
    EXPECT_LT(elapsed, c.ms + 3000);
    EXPECT_GE(gTimerTicks, 3);   // the window's timer kept being served
  }
  KillTimer(h, 1);
  DestroyWindow(h);
}

// Work given to Delay runs once, at the start of the wait: before any
// message of the wait is handled, and without cutting the wait short.
TEST_F(SystemRoutines, DelayRunsItsWorkOnceBeforeServingMessages) {
  HWND h = window(120, 120);
  PostMessageW(h, WM_TIMER, 1, 0);
  struct Seen { int calls = 0, ticks = -1, processed = -1; } seen;
  auto work = [](void* c) {
    auto* s = static_cast<Seen*>(c);
    ++s->calls;
    s->ticks = gTimerTicks;
    s->processed = gProcessEvents;
  };
  const DWORD start = GetTickCount();
  app::Delay(300, 0, work, &seen);
  EXPECT_GE(GetTickCount() - start + 16, 300u);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.ticks, 0);
  EXPECT_EQ(seen.processed, 0);
  EXPECT_GE(gTimerTicks, 1);   // the posted message was served after the work
  // Work that outlasts the wait: its timer has fired by then, and what came
  // meanwhile is served all the same before the next work.
  PostMessageW(h, WM_TIMER, 1, 0);
  gTimerTicks = 0;
  app::Delay(10, 0, [](void*) { Sleep(40); }, nullptr);
  EXPECT_EQ(gTimerTicks, 1);
  DestroyWindow(h);
}

// Once the last window has gone the quit message waits in the queue for the
// loop. Delay must neither take it away (nor lose its code) nor be woken
// again and again by it.
TEST_F(SystemRoutines, DelayLeavesTheQuitMessageAndDoesNotSpin) {
  PostQuitMessage(7);
  const DWORD start = GetTickCount();
  app::Delay(300);
  EXPECT_GE(GetTickCount() - start + 16, 300u);
  EXPECT_LE(gProcessEvents, 2);
  MSG m = {};
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, UINT(WM_QUIT));
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SystemRoutines, ProcessEventsRunsWhatWaitsButStopsAtTheQuitMessage) {
  HWND h = window(120, 120);
  PostMessageW(h, WM_TIMER, 5, 0);
  PostQuitMessage(3);
  PostMessageW(h, WM_TIMER, 6, 0);
  rt::processEvents();
  EXPECT_EQ(gTimerTicks, 2);
  MSG m = {};
  ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, UINT(WM_QUIT));
  EXPECT_EQ(m.wParam, 3u);
  DestroyWindow(h);
}

TEST_F(SystemRoutines, MoveMouseFromTheClientOriginOrTheScreen) {
  HWND h = window(210, 170);
  POINT origin = {0, 0};
  ClientToScreen(h, &origin);
  struct Case { uint32_t window; int32_t dx, dy; POINT want; } cases[] = {
      {uint32_t(uintptr_t(h)), 10, 20, {origin.x + 10, origin.y + 20}},
      {uint32_t(uintptr_t(h)), 0, 0, origin},
      {0, 33, 44, {33, 44}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dx);
    app::MoveMouse(c.window, c.dx, c.dy);
    POINT p = {};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, c.want.x);
    EXPECT_EQ(p.y, c.want.y);
  }
  DestroyWindow(h);
}

TEST_F(SystemRoutines, CreatePathLevelsAsksForEveryLevelInOrder) {
  struct Case { const char* path; const wchar_t* calls; } cases[] = {
      {"C:\\a\\pic\\t", L"C:\\a|C:\\a\\pic|C:\\a\\pic\\t|"},
      // A trailing backslash creates the last level there; the final call
      // repeats it with the backslash.
      {"C:\\a\\pic\\t\\", L"C:\\a|C:\\a\\pic|C:\\a\\pic\\t|C:\\a\\pic\\t\\|"},
      {"C:\\试卷\\第1页", L"C:\\试卷|C:\\试卷\\第1页|"},
      {"D:\\x", L"D:\\x|"},
      {"C:", L""},      // fewer than 8 bytes of UTF-16: nothing
      {"", L""},
  };
  recordedDirectories();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    app::CreateDirectoryPath(c.path);
    EXPECT_EQ(narrow(recordedDirectories()), narrow(c.calls));
  }
}

TEST_F(SystemRoutines, IsDirectory) {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const std::wstring wideFile = std::wstring(tmp) + L"paginet_dll_routines.txt";
  HANDLE f = CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  CloseHandle(f);
  const std::string dir = rt::wideToGbk(tmp);   // ends in a backslash
  const std::string file = rt::wideToGbk(wideFile);
  EXPECT_FALSE(app::IsDirectory(""));
  EXPECT_FALSE(app::IsDirectory(nullptr));
  EXPECT_TRUE(app::IsDirectory(dir.c_str()));
  EXPECT_TRUE(app::IsDirectory(dir.substr(0, dir.size() - 1).c_str()));
  EXPECT_FALSE(app::IsDirectory(file.c_str()));
  EXPECT_FALSE(app::IsDirectory((dir + "no such folder").c_str()));
  DeleteFileW(wideFile.c_str());
}

}  // namespace
