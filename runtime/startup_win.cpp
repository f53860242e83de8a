// Runtime initialisation, the hidden owner window and termination.
#include <windows.h>
#include <ole2.h>
#include "runtime/dll_commands.h"
#include "runtime/error_report.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"
#include "runtime/sound_calls.h"

namespace rt {
namespace {

const wchar_t kHideOwnerClass[] = L"_EL_HideOwner";

LRESULT CALLBACK hideOwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // ExitProgram called on another thread lands here, on the main thread.
  if (msg == kMsgExitRequest) exitProgram(int32_t(wp));
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void createHideOwner() {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  if (!GetClassInfoW(inst, kHideOwnerClass, &wc)) {
    wc.lpfnWndProc = hideOwnerProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
    wc.lpszClassName = kHideOwnerClass;
    RegisterClassW(&wc);
  }
  state().hideOwner = CreateWindowExW(WS_EX_TOOLWINDOW, kHideOwnerClass, L"", WS_POPUP, 0, 0,
                                      0, 0, nullptr, nullptr, inst, nullptr);
}

std::string modulePath() {
  wchar_t buf[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return wideToGbk(buf);
}

}  // namespace

void runtimeInit() {
  RuntimeState& s = state();
  const ProgramHeader* h = s.header;
  s.kind = h->kind;
  s.reserved = h->reserved;
  s.idCounter = h->idCounter + 1;
  if (!s.oleInitialised) s.oleInitialised = SUCCEEDED(OleInitialize(nullptr));
  std::string path = modulePath();
  size_t cut = path.rfind('\\');
  s.runDir = cut == std::string::npos ? std::string() : path.substr(0, cut);
  s.programName = cut == std::string::npos ? path : path.substr(cut + 1);
  // The root directory needs its backslash to be a directory at all.
  std::wstring dir = gbkToWide(s.runDir.size() == 2 ? s.runDir + "\\" : s.runDir);
  if (!dir.empty()) SetCurrentDirectoryW(dir.c_str());
  createHideOwner();
  s.mainThread = GetCurrentThreadId();
  if (h->constSize) setConstantArea(h->constStart, h->constSize);
  if (h->dllCount > 0) initDllCommands(h->dllCount, h->dllFiles, h->dllFunctions);
  for (int32_t i = 0; i < h->libraryCount; ++i) {
    const LibraryRecord* lib = h->libraries[i];
    if (lib && lib->notify) lib->notify(kLibStart, reinterpret_cast<uintptr_t>(&notify), 0);
  }
  s.libraries.clear();
  for (int32_t i = 0; i < h->libraryCount; ++i) s.libraries.push_back({h->libraries[i], 0});
  if (h->formSize && !loadWindowTable(h->formStart, h->formSize, reinterpret_cast<uintptr_t>(h->codeBase)))
    reportError("载入窗口模板数据段出错!", 0, 0, 0);
}

void registerExitRoutine(uintptr_t routine) {
  auto& list = state().exitRoutines;
  for (uintptr_t r : list)
    if (r == routine) return;
  list.push_back(routine);
}

void terminationCleanup(int32_t code) {
  RuntimeState& s = state();
  ++s.suppress;
  if (s.mainThread && GetCurrentThreadId() != s.mainThread) {
    SendMessageW(static_cast<HWND>(s.hideOwner), kMsgExitRequest, WPARAM(code), 0);
    if (!s.terminated) ExitProcess(UINT(code));
    return;
  }
  if (s.terminated) return;
  s.terminated = true;
  s.idleHandlers.clear();
  s.windows.clear();
  std::vector<uintptr_t> routines;
  routines.swap(s.exitRoutines);
  for (uintptr_t r : routines) reinterpret_cast<void (RT_CDECL*)()>(r)();
  for (const LibraryEntry& lib : s.libraries)
    if (lib.record && lib.record->notify) lib.record->notify(kLibTerminate, lib.dataWord, 0);
  s.libraries.clear();
  releaseDllCommands();
  setConstantArea(nullptr, 0);
  destroyDefaultIcons();
  if (s.hideOwner) DestroyWindow(static_cast<HWND>(s.hideOwner));
  s.hideOwner = nullptr;
  stopSounds(true);
  if (s.oleInitialised) OleUninitialize();
  s.oleInitialised = false;
}

void exitProgram(int32_t code) {
  terminationCleanup(code);
  ExitProcess(UINT(code));
}

namespace {
void showErrorBox(const std::string& text) {
  std::wstring body = gbkToWide(text);
  std::wstring caption = gbkToWide("错误");
  MessageBoxW(nullptr, body.c_str(), caption.c_str(), MB_ICONSTOP);
  // Exit routines never run after a run-time error.
  state().exitRoutines.clear();
  exitProgram(-1);
}
}  // namespace

int32_t runProgram(const ProgramHeader* header, int32_t (RT_CALL* start)(const ServiceTable*)) {
  RuntimeState& s = state();
  s.header = header;
  setErrorSink(showErrorBox);
  std::string path = modulePath();
  s.moduleDir = path.substr(0, path.rfind('\\') + 1);
  start(&serviceTable());
  terminationCleanup(s.quitCode);
  return s.quitCode;
}

}  // namespace rt
