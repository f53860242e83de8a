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

// The DLL file names lie in the constant area.
#define DLL_COMMAND(name, file, function) APP_CONST const char name##File[] = file;
#include "app/dll_command_list.inc"
#undef DLL_COMMAND

const char* const kDllFiles[kDllCommandCount] = {
#define DLL_COMMAND(name, file, function) name##File,
#include "app/dll_command_list.inc"
#undef DLL_COMMAND
};
const char* const kDllFunctions[kDllCommandCount] = {
#define DLL_COMMAND(name, file, function) #function,
#include "app/dll_command_list.inc"
#undef DLL_COMMAND
};
// Compiled calls name commands by number: the first twelve stay in place.
static_assert(kCloseHandle == 11 && kDllCommandCount == 18, "DLL command numbers are fixed");

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
