// The application's routines over system functions, reached through the
// program's DLL commands.
#pragma once
#include <cstdint>

namespace app {

// DLL command numbers, in the program header's table order.
enum DllCommand : int32_t {
  kClientToScreen, kSetCursorPos, kStrlen, kMultiByteToWideChar, kPathIsDirectoryW,
  kLocalAlloc, kCreateDirectoryW, kLocalFree, kCreateWaitableTimerA, kSetWaitableTimer,
  kMsgWaitForMultipleObjects, kCloseHandle, kDllCommandCount
};

// Waits interval units (0 ms, 1 s, 2 min, 3 h, else ms per step) while
// window messages go on being processed. A timer that cannot be made or
// waited on ends the wait instead of spinning. Always true.
bool Delay(int64_t interval, int32_t unit = 0);
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
