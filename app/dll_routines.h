// The application's routines over system functions, reached through the
// program's DLL commands.
#pragma once
#include <cstdint>
#include "app/command_frame.h"
#include "runtime/dll_call.h"

namespace app {

// DLL command numbers, in the program header's table order.
enum DllCommand : int32_t {
#define DLL_COMMAND(name, file, function) name,
#include "app/dll_command_list.inc"
#undef DLL_COMMAND
  kDllCommandCount
};

// Calls a DLL command with 32-bit argument words; location tags a
// stack-mismatch report with the calling file.
template <class... W>
uint32_t callDll(int32_t location, DllCommand number, W... words) {
  const uint32_t args[sizeof...(words) + 1] = {uint32_t(words)...};
  return uint32_t(rt::callDllCommand(gServices, number, args, int32_t(sizeof...(words)),
                                     number == kStrlen, location, number));
}
template <class T>
uint32_t address(T* p) {
  return uint32_t(reinterpret_cast<uintptr_t>(p));
}

// Waits interval units (0 ms, 1 s, 2 min, 3 h, else ms per step) while
// window messages go on being processed. A timer that cannot be made or
// waited on ends the wait instead of spinning. work, when given, runs once
// at the start of the wait, inside it: the wait ends no later for it unless
// it takes longer than the wait. Always true.
bool Delay(int64_t interval, int32_t unit = 0, void (*work)(void*) = nullptr,
           void* context = nullptr);
// Puts the pointer at (dx, dy) from the window's client origin, or from the
// screen's when window is 0.
void MoveMouse(uint32_t window, int32_t dx, int32_t dy);
bool IsDirectory(const char* path);
// Creates path and every missing parent; true if it is a directory after.
bool CreateDirectoryPath(const char* path);

// Wide paths: byte-sets of UTF-16 units, terminator included. Results are
// owned by the caller.
uint8_t* TextToWide(const char* text);
uint8_t* MultiByteToWideBytes(const uint8_t* bytes, int32_t codePage);
bool IsDirectoryWide(const uint8_t* wide);
void CreatePathLevels(const uint8_t* wide);

}  // namespace app
