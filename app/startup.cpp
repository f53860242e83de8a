// Start-up code and program header of the application.
#include "app/const_area.h"
#include "app/constants.h"
#include "app/command_frame.h"
#include "app/routines.h"
#include "app/dll_routines.h"
#include "browser/browser_library.h"
#include "components/core_library.h"
#include "data/startup_form.h"

extern "C" const uint8_t kConstAreaStart[];
extern "C" const uint8_t kConstAreaEnd[];

namespace app {

namespace {

constexpr int32_t kRoutineRegisterExit = 3;
constexpr int32_t kRoutineInitialise = 6;

APP_CONST const char kUser32[] = "user32.dll";
APP_CONST const char kUser32Capital[] = "User32.dll";
APP_CONST const char kMsvcrt[] = "msvcrt.dll";
APP_CONST const char kKernel32[] = "kernel32.dll";
APP_CONST const char kKernel32Capital[] = "Kernel32.dll";
APP_CONST const char kShlwapi[] = "shlwapi.dll";

const char* const kDllFiles[kDllCommandCount] = {
    kUser32, kUser32, kMsvcrt, kKernel32Capital, kShlwapi, kKernel32,
    kKernel32Capital, kKernel32, kKernel32, kKernel32, kUser32Capital, kKernel32,
    kKernel32, kKernel32, kKernel32, kKernel32, kKernel32, kKernel32,
};
const char* const kDllFunctions[kDllCommandCount] = {
    "ClientToScreen", "SetCursorPos", "strlen", "MultiByteToWideChar",
    "PathIsDirectoryW", "LocalAlloc", "CreateDirectoryW", "LocalFree",
    "CreateWaitableTimerA", "SetWaitableTimer", "MsgWaitForMultipleObjects", "CloseHandle",
    "CreateFileW", "WriteFile", "MoveFileExW", "DeleteFileW", "FlushFileBuffers", "GetTickCount",
};

const rt::LibraryRecord* const kLibraries[] = {&kCoreLibrary, &kBrowserLibrary};

// Global clean-up, registered as an exit routine: nothing to release.
void RT_CDECL cleanUp() {}

// The start-up sub-program: nothing to do.
int32_t startUp() { return 0; }

void resetFpu() { __asm__ volatile("fninit"); }

}  // namespace

}  // namespace app

using namespace app;

extern "C" const rt::ProgramHeader kProgramHeader = {
    .kind = 3,
    .reserved = 0,
    .idCounter = 0,
    .codeBase = kAppCode,
    .constStart = kConstAreaStart,
    // Link-time bounds: initialised before WinMain runs.
    .constSize = uint32_t(kConstAreaEnd - kConstAreaStart),
    .formStart = kStartupForm,
    .formSize = kStartupFormSize,
    .libraryCount = 2,
    .libraries = kLibraries,
    .dllCount = kDllCommandCount,
    .dllFiles = kDllFiles,
    .dllFunctions = kDllFunctions,
};

extern "C" int32_t RT_CALL AppStart(const rt::ServiceTable* services) {
  gServices = services;
  services->callRuntimeRoutine(kRoutineInitialise);
  resetFpu();
  // No global variable needs more than its static initial value.
  services->callRuntimeRoutine(kRoutineRegisterExit, &cleanUp);
  startUp();
  services->loadStartupWindow(kStartupWindow);
  services->runMessageLoop();
  return 0;
}
