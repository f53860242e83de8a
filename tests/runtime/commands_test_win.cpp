// Win32 commands and DLL commands under a real Windows API (Wine here).
#include <windows.h>
#include <gtest/gtest.h>
#include <atomic>
#include <string>
#include <thread>
#include "runtime/core_commands.h"
#include "runtime/dll_call.h"
#include "runtime/dll_commands.h"
#include "sound/sound.h"
#include "tests/runtime/commands_fake_runtime.h"

using fake::call;
using fake::integer;
using fake::text;

namespace {

std::string exeDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.rfind('\\'));
}

std::string tempDirectory(const char* leaf) {
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  std::string dir = std::string(tmp) + leaf;
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

std::string testDll() { return exeDirectory() + "\\commands_test_dll.dll"; }

std::string readFile(const std::string& name) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buf[256];
  DWORD got = 0;
  ReadFile(h, buf, sizeof buf, &got, nullptr);
  CloseHandle(h);
  return std::string(buf, got);
}

int32_t reportedCode = 0, reportedW1 = 0;
void RT_CALL recordReport(int32_t code, int32_t w1, int32_t) {
  reportedCode = code;
  reportedW1 = w1;
}

rt::ServiceTable services() {
  rt::ServiceTable s{};
  s.reportRuntimeError = recordReport;
  s.callDllCommand = reinterpret_cast<void*>(CallDllCommandEntry);
  return s;
}

uint32_t callWords(int32_t number, std::initializer_list<uint32_t> words, bool callerPops = false) {
  const rt::ServiceTable s = services();
  return uint32_t(rt::callDllCommand(&s, number, words.begin(), int32_t(words.size()), callerPops, 11, 22));
}

}  // namespace

TEST(WriteToFile, CreatesTruncatesAndFails) {
  const std::string name = tempDirectory("paginet_cmd") + "\\out.bin";
  static const uint8_t ab[] = {1, 0, 0, 0, 2, 0, 0, 0, 'a', 'b'};
  static const uint8_t c[] = {1, 0, 0, 0, 1, 0, 0, 0, 'c'};
  EXPECT_EQ(call(core::WriteToFile, {text(name.c_str()), fake::bytes(ab), fake::bytes(nullptr),
                                     integer(5), fake::bytes(c)}).i, 1);
  EXPECT_EQ(readFile(name), "abc");
  EXPECT_EQ(call(core::WriteToFile, {text(name.c_str())}).i, 1);
  EXPECT_EQ(readFile(name), "");

  // Someone else holding the file open keeps it from being written.
  HANDLE other = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(call(core::WriteToFile, {text(name.c_str()), fake::bytes(ab)}).i, 0);
  CloseHandle(other);

  EXPECT_EQ(call(core::WriteToFile, {text("")}).i, 0);
  EXPECT_EQ(call(core::WriteToFile, {integer(1)}).i, 0);
  EXPECT_EQ(call(core::WriteToFile, {text("Q:\\no\\such\\dir\\x.bin")}).i, 0);
  DeleteFileA(name.c_str());
}

TEST(PlayMusic, RefusesWhatIsNotSound) {
  rt::setSoundCalls(&snd::kSoundCalls);  // as the core library hands them down at start
  static const uint8_t junk[] = {1, 0, 0, 0, 12, 0, 0, 0, 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' ', 0, 0};
  EXPECT_EQ(call(core::PlayMusic, {fake::bytes(junk)}).i, 0);
  EXPECT_EQ(call(core::PlayMusic, {text("")}).i, 0);
  EXPECT_EQ(call(core::PlayMusic, {text("Q:\\missing.wav")}).i, 0);
  EXPECT_EQ(call(core::PlayMusic, {integer(3)}).i, 0);
  const std::string empty = tempDirectory("paginet_cmd") + "\\empty.wav";
  call(core::WriteToFile, {text(empty.c_str())});
  EXPECT_EQ(call(core::PlayMusic, {text(empty.c_str())}).i, 0);
  DeleteFileA(empty.c_str());
  EXPECT_EQ(fake::liveBlocks, 0);
}

TEST(InfoBox, PressingYesReturnsFive) {
  std::atomic<bool> found{false};
  std::thread presser([&] {
    // The default caption is "信息：".
    for (int i = 0; i < 300 && !found; ++i) {
      HWND box = FindWindowW(L"#32770", L"\x4FE1\x606F\xFF1A");
      if (box) {
        found = true;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), LPARAM(GetDlgItem(box, IDYES)));
      }
      Sleep(100);
    }
  });
  const rt::Value r = call(core::InfoBox, {text("要继续吗？"), integer(MB_YESNO)});
  presser.join();
  EXPECT_TRUE(found);
  EXPECT_EQ(r.i, 5);
}

TEST(ScreenSize, MatchesTheDisplay) {
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(call(core::ScreenWidth, {}).i, GetDeviceCaps(dc, HORZRES));
  EXPECT_EQ(call(core::ScreenHeight, {}).i, GetDeviceCaps(dc, VERTRES));
  ReleaseDC(nullptr, dc);
}

TEST(CoreTable, IsInTheLibraryOrder) {
  EXPECT_EQ(core::kCoreCommands[0], core::InfoBox);
  EXPECT_EQ(core::kCoreCommands[2], core::RunDirectory);
  EXPECT_EQ(core::kCoreCommands[7], core::FindText);
  EXPECT_EQ(core::kCoreCommands[15], core::ProcessEvents);
  EXPECT_EQ(core::kCoreCommands[17], core::ScreenHeight);
}

TEST(DllCommands, ResolvesByNameOrdinalAndFallback) {
  const std::string dll = testDll();
  const char* files[] = {dll.c_str(), dll.c_str(), dll.c_str(), "", dll.c_str()};
  const char* functions[] = {"Add2", "#17", "Sum3", "GetSystemMetrics", "#65553"};
  rt::initDllCommands(5, files, functions);
  EXPECT_EQ(callWords(0, {40, 2}), 42u);
  EXPECT_EQ(callWords(0, {1, 2}), 3u);  // cached path
  EXPECT_EQ(callWords(1, {}), 1700u);
  EXPECT_EQ(callWords(2, {1, 2, 3}, true), 6u);
  EXPECT_EQ(callWords(3, {SM_CXSCREEN}), uint32_t(GetSystemMetrics(SM_CXSCREEN)));
  EXPECT_EQ(callWords(4, {}), 1700u);  // ordinals keep their low 16 bits
  EXPECT_EQ(reportedCode, 0);
  rt::releaseDllCommands();
  EXPECT_EQ(GetModuleHandleA(dll.c_str()), nullptr);
}

TEST(DllCommands, CachedAddressSurvivesRemovingTheFile) {
  const std::string copy = tempDirectory("paginet_cmd") + "\\removable.dll";
  ASSERT_TRUE(CopyFileA(testDll().c_str(), copy.c_str(), FALSE));
  const char* files[] = {copy.c_str()};
  const char* functions[] = {"Add2"};
  rt::initDllCommands(1, files, functions);
  EXPECT_EQ(callWords(0, {5, 6}), 11u);
  // A mapped image cannot be deleted on Windows, but it can be moved away.
  const std::string moved = copy + ".gone";
  DeleteFileA(moved.c_str());
  if (!DeleteFileA(copy.c_str())) {
    ASSERT_TRUE(MoveFileA(copy.c_str(), moved.c_str()));
  }
  EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(callWords(0, {7, 8}), 15u);
  rt::releaseDllCommands();
  DeleteFileA(moved.c_str());
}

TEST(DllCommands, BareNamesSearchRunThenModuleDirectory) {
  const std::string run = tempDirectory("paginet_run"), mod = tempDirectory("paginet_mod");
  ASSERT_TRUE(CopyFileA(testDll().c_str(), (run + "\\in_run.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(testDll().c_str(), (mod + "\\in_mod.dll").c_str(), FALSE));
  fake::setDirectories(run, mod + "\\");
  const char* files[] = {"in_run.dll", "in_mod.dll"};
  const char* functions[] = {"Add2", "Add2"};
  rt::initDllCommands(2, files, functions);
  EXPECT_EQ(callWords(0, {1, 1}), 2u);
  EXPECT_EQ(callWords(1, {2, 2}), 4u);
  // One reference per command: each holds its own module.
  EXPECT_NE(GetModuleHandleA((run + "\\in_run.dll").c_str()), nullptr);
  rt::releaseDllCommands();
  EXPECT_EQ(GetModuleHandleA((run + "\\in_run.dll").c_str()), nullptr);
  EXPECT_EQ(GetModuleHandleA((mod + "\\in_mod.dll").c_str()), nullptr);
  fake::setDirectories(".", "");
  DeleteFileA((run + "\\in_run.dll").c_str());
  DeleteFileA((mod + "\\in_mod.dll").c_str());
}

TEST(DllCommands, StackMismatchReportsCodeSix) {
  const std::string dll = testDll();
  const char* files[] = {dll.c_str(), dll.c_str()};
  const char* functions[] = {"Add2", "Sum3"};
  rt::initDllCommands(2, files, functions);
  struct Case { const char* name; int32_t number; std::initializer_list<uint32_t> words; bool callerPops; int32_t code; } cases[] = {
      {"right declaration", 0, {1, 2}, false, 0},
      {"one argument short", 0, {1}, false, 6},
      {"one argument too many", 0, {1, 2, 3}, false, 6},
      {"stdcall declared as cdecl", 0, {1, 2}, true, 6},
      {"cdecl declared as stdcall", 1, {1, 2, 3}, false, 6},
      {"cdecl right", 1, {1, 2, 3}, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    reportedCode = reportedW1 = 0;
    callWords(c.number, c.words, c.callerPops);
    EXPECT_EQ(reportedCode, c.code);
    if (c.code) {
      EXPECT_EQ(reportedW1, 11);
    }
  }
  rt::releaseDllCommands();
}
