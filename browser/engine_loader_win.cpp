#include <windows.h>

#include <cstring>

#include "browser/engine_loader.h"
#include "runtime/gbk.h"

namespace web {

EngineTable gEngine;

const char* const kEngineExportNames[kEngineExportCount] = {
#define ENGINE_FN(ret, name, params) #name,
#include "binding/engine_api.inc"
#undef ENGINE_FN
};

namespace {

rt::NotifyFn gRuntime;
std::wstring gEnginePath;
bool gInitialised;
HMODULE gModule;        // the bound engine, released again when unusable
DWORD gLoadError;       // why the last load failed

const wchar_t* const kCandidates[] = {L"miniblink_4975_x32.dll", L"miniblink_4957_x32.dll",
                                      L"miniblink_4949_x32.dll", L"node.dll"};

void raiseError(const char* text) {
  notifyRuntime(rt::kNotifyReportError, uint32_t(uintptr_t(text)), 0);
}

// Shown like the not-found message: no owner, caption "错误", OK only.
void engineError(const wchar_t* format, int code) {
  wchar_t message[1024];
  _snwprintf(message, 1023, format, gEnginePath.c_str(), code);
  message[1023] = 0;
  MessageBoxW(nullptr, message, L"错误", MB_OK);
}

// Forgets the engine, so the next browser view locates and binds afresh.
void unbind() {
  if (gModule) FreeLibrary(gModule);
  gModule = nullptr;
  std::memset(&gEngine, 0, sizeof gEngine);
  gEnginePath.clear();
}

}  // namespace

int32_t notifyRuntime(int32_t code, uint32_t p1, uint32_t p2) {
  return gRuntime ? gRuntime(code, p1, p2) : 0;
}

int32_t RT_CALL libraryNotify(int32_t code, uint32_t p1, uint32_t p2) {
  switch (code) {
    case rt::kLibStart:
      gRuntime = reinterpret_cast<rt::NotifyFn>(uintptr_t(p1));
      return 0;
    case rt::kLibTerminate:
    case rt::kLibRelease:
      return 0;  // the engine stays loaded until the process ends
    default:
      return -1;
  }
}

std::string runDirectory() {
  char buffer[260] = {};
  int32_t kind = notifyRuntime(rt::kNotifyProgramKind, 0, 0) == 3 ? 2001 : 1;
  notifyRuntime(rt::kNotifyRunDirBuffer, uint32_t(kind), uint32_t(uintptr_t(buffer)));
  buffer[259] = 0;
  return buffer;
}

const std::wstring& enginePath() { return gEnginePath; }

int32_t FileExists(const wchar_t* path) {
  using PathFileExistsFn = BOOL(WINAPI*)(LPCWSTR);
  static HMODULE shlwapi;
  static PathFileExistsFn pathFileExists;
  if (!shlwapi) {
    shlwapi = LoadLibraryW(L"Shlwapi.dll");
    if (!shlwapi) {
      raiseError("获取Shlwapi.dll句柄失败");
      return 0;
    }
  }
  if (!pathFileExists) {
    pathFileExists =
        reinterpret_cast<PathFileExistsFn>(
        reinterpret_cast<void*>(GetProcAddress(shlwapi, "PathFileExistsW")));
    if (!pathFileExists) {
      raiseError("PathFileExistsW函数获取失败");
      return 0;
    }
  }
  return pathFileExists(path);
}

bool LocateEngine() {
  std::wstring dir = rt::gbkToWide(runDirectory());
  // A run directory ending in "lib\" stands for its parent.
  if (dir.size() >= 4 && dir.compare(dir.size() - 4, 3, L"lib") == 0) dir.resize(dir.size() - 4);
  for (const wchar_t* name : kCandidates) {
    std::wstring candidate = dir + name;
    if (FileExists(candidate.c_str())) {
      gEnginePath = candidate;
      return true;
    }
  }
  wchar_t message[1024];
  _snwprintf(message, 1023,
             L"请把\"miniblink_4975_x32.dll\"\r\n或者 \"miniblink_4957_x32.dll\"\r\n或者 "
             L"\"miniblink_4949_x32.dll\"\r\n或者 \"node.dll\"\r\n放在[%ls]这个目下",
             dir.c_str());
  message[1023] = 0;
  MessageBoxW(nullptr, message, L"错误", MB_OK);
  return false;
}

int32_t BindEngine(const wkeSettings* settings) {
  HMODULE dll = LoadLibraryW(gEnginePath.c_str());
  if (!dll) {
    gLoadError = GetLastError();
    return 0;
  }
  gModule = dll;
  if (auto init = reinterpret_cast<wkeInitializeExFn>(
          reinterpret_cast<void*>(GetProcAddress(dll, "wkeInitializeEx"))))
    init(settings);
  void** slots = reinterpret_cast<void**>(&gEngine);
  for (int i = 0; i < kEngineExportCount; ++i) {
    slots[i] = reinterpret_cast<void*>(GetProcAddress(dll, kEngineExportNames[i]));
    if (!slots[i])
      MessageBoxW(nullptr, L"wke api not found", rt::gbkToWide(kEngineExportNames[i]).c_str(), MB_OK);
  }
  return 1;
}

bool initEngine() {
  if (gEnginePath.empty() && !LocateEngine()) return false;
  if (gInitialised) return true;
  if (!(gEngine.wkeIsInitialize && gEngine.wkeIsInitialize())) {
    static wkeSettings settings;
    std::memset(&settings, 0, sizeof settings);
    if (!BindEngine(&settings)) {
      engineError(L"无法载入[%ls]\r\n错误码 = %d\r\n请换上完整的32位引擎DLL", int(gLoadError));
      unbind();
      return false;
    }
    // Without these no view can be made; a later attempt binds again.
    if (!gEngine.wkeCreateWebWindow || !gEngine.wkeGetWindowHandle) {
      engineError(L"[%ls]\r\n缺少 wkeCreateWebWindow 或 wkeGetWindowHandle\r\n请换上完整的引擎DLL", 0);
      unbind();
      return false;
    }
  }
  gInitialised = true;
  return true;
}

}  // namespace web
