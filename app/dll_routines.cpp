// Delay, MoveMouse and the directory routines. System functions go through
// the DLL commands, everything else through core commands.
#include "app/dll_routines.h"
#include <cstring>
#include "runtime/core_commands.h"

namespace app {

namespace {

// Location words of a stack-mismatch report: this file's tag and the
// DLL command number.
constexpr int32_t kLocation = 0x1003;

template <class... W>
uint32_t dll(DllCommand number, W... words) {
  return callDll(kLocation, number, words...);
}

constexpr uint32_t kWaitObject0 = 0;
constexpr uint32_t kWaitInput = 1;        // WAIT_OBJECT_0 + 1: a message arrived
constexpr uint32_t kWakeMask = 0xFF;
constexpr uint32_t kZeroFilled = 0x40;
constexpr uint32_t kIsDirectory = 16;

}  // namespace

bool Delay(int64_t interval, int32_t unit, void (*work)(void*), void* context) {
  const double factor =
      unit == 0 ? 1.0 : unit == 1 ? 1000.0 : unit == 2 ? 60000.0 : unit == 3 ? 3600000.0 : unit;
  int64_t due = int64_t(double(interval) * factor * -10000.0);
  const uint32_t timer = dll(kCreateWaitableTimerA, 0, 0, 0);
  const bool set = timer != 0 && dll(kSetWaitableTimer, timer, address(&due), 0, 0, 0, 0) != 0;
  // The timer runs from here, so the work's time comes out of the wait.
  // What came in meanwhile is handled at once: when the work outlasts the
  // interval, the wait below ends on the timer without looking at messages.
  if (work) {
    work(context);
    callCore(core::ProcessEvents);
  }
  if (set) {
    while (true) {
      const uint32_t r =
          dll(kMsgWaitForMultipleObjects, 1, address(&timer), 0, 0xFFFFFFFFu, kWakeMask);
      if (r == kWaitObject0) break;
      // A failed wait would come straight back every time: give up instead.
      if (r != kWaitInput) break;
      callCore(core::ProcessEvents);
    }
  } else {
    // Without a timer there is nothing to wait on; let pending messages run.
    callCore(core::ProcessEvents);
  }
  if (timer != 0) dll(kCloseHandle, timer);
  return true;
}

void MoveMouse(uint32_t window, int32_t dx, int32_t dy) {
  int32_t point[2] = {0, 0};
  if (window != 0) dll(kClientToScreen, window, address(point));
  dll(kSetCursorPos, point[0] + dx, point[1] + dy);
}

uint8_t* MultiByteToWideBytes(const uint8_t* bytes, int32_t codePage) {
  // The bytes with one zero byte appended.
  const uint32_t n = byteSetSize(bytes);
  uint8_t* z = rt::buildByteSet(nullptr, n + 1, gServices->allocMemory);
  uint8_t* text = byteSetData(z);
  if (n) memcpy(text, byteSetData(bytes), n);
  uint8_t* out = nullptr;
  if (dll(kStrlen, address(text)) != 0) {
    const uint32_t m = dll(kMultiByteToWideChar, codePage, 0, address(text), -1, 0, 0);
    out = callCore(core::BlankByteSet, intArg(int32_t(2 * m))).bin;
    if (out) dll(kMultiByteToWideChar, codePage, 0, address(text), -1, address(byteSetData(out)), m);
  }
  release(z);
  return out;
}

uint8_t* TextToWide(const char* text) {
  uint8_t* bytes = callCore(core::ToByteSet, textArg(text)).bin;
  uint8_t* wide = MultiByteToWideBytes(bytes, 936);
  release(bytes);
  return wide;
}

bool IsDirectoryWide(const uint8_t* wide) {
  return dll(kPathIsDirectoryW, address(byteSetData(wide))) == kIsDirectory;
}

void CreatePathLevels(const uint8_t* wide) {
  const int32_t n = callCore(core::ByteSetLength, binArg(const_cast<uint8_t*>(wide))).i;
  if (n < 8) return;
  const uint32_t buffer = dll(kLocalAlloc, kZeroFilled, n + 2);
  if (buffer == 0) return;
  uint8_t* out = reinterpret_cast<uint8_t*>(uintptr_t(buffer));
  const uint8_t* in = byteSetData(wide);
  int32_t levels = 0;
  for (int32_t k = 0; k + 2 <= n; k += 2) {
    const uint16_t c = uint16_t(in[k] | in[k + 1] << 8);
    if (c == 0) {
      dll(kCreateDirectoryW, buffer, 0);
      break;
    }
    // The buffer holds the path up to this backslash; the first one ends
    // the drive, which needs no creating.
    if (c == '\\') {
      if (levels > 0) dll(kCreateDirectoryW, buffer, 0);
      ++levels;
    }
    out[k] = uint8_t(c);
    out[k + 1] = uint8_t(c >> 8);
  }
  dll(kLocalFree, buffer);
}

bool IsDirectory(const char* path) {
  uint8_t* wide = TextToWide(path);
  const bool yes = IsDirectoryWide(wide);
  release(wide);
  return yes;
}

bool CreateDirectoryPath(const char* path) {
  uint8_t* wide = TextToWide(path);
  CreatePathLevels(wide);
  const bool yes = IsDirectoryWide(wide);
  release(wide);
  return yes;
}

}  // namespace app
