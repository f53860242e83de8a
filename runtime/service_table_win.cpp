// The runtime service table and the numbered runtime routines.
#include <windows.h>
#include <cstdarg>
#include <cstring>
#include "runtime/dll_commands.h"
#include "runtime/error_text.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"
#include "runtime/value.h"

namespace rt {
namespace {

void RT_CALL reportRuntimeErrorEntry(int32_t code, int32_t w1, int32_t w2) {
  const char* msg = errorCodeMessage(code);
  reportError(msg ? msg : "", code, w1, w2);
}

Value RT_CALL callCoreCommand(CommandFn fn, int32_t argc, Value* args) {
  Value result;
  std::memset(&result, 0, sizeof result);
  fn(&result, argc, args);
  return result;
}

Value RT_CALL callLibraryCommand(int32_t, CommandFn fn, int32_t argc, Value* args) {
  return callCoreCommand(fn, argc, args);
}

int64_t RT_CALL readEntry(uint32_t w, uint32_t c, int32_t p, int32_t e) { return readProperty(w, c, p, e); }
void RT_CALL writeEntry(uint32_t w, uint32_t c, int32_t p, int32_t e, uint32_t lo, uint32_t hi) {
  writeProperty(w, c, p, e, lo, hi);
}
void* RT_CALL allocEntry(uint32_t size) { return allocMemory(size); }
void* RT_CALL reallocEntry(void* p, uint32_t size) { return reallocMemory(p, size); }
void RT_CALL freeEntry(void* p) { freeMemory(p); }
void RT_CALL exitEntry(int32_t code) { exitProgram(code); }
void RT_CALL loopEntry() { runMessageLoop(false); }
void RT_CALL loadEntry(uint32_t id) { loadStartupWindow(id); }

// Routine 0: one step of a file search kept in *handle.
char* fileSearchStep(const char* pattern, uint32_t mask, int32_t filesOnly, HANDLE* handle) {
  WIN32_FIND_DATAW fd;
  bool found;
  if (pattern && *pattern) {
    if (*handle) FindClose(*handle);
    *handle = FindFirstFileW(gbkToWide(pattern).c_str(), &fd);
    if (*handle == INVALID_HANDLE_VALUE) *handle = nullptr;
    found = *handle != nullptr;
  } else {
    found = *handle && FindNextFileW(*handle, &fd);
  }
  for (; found; found = FindNextFileW(*handle, &fd)) {
    DWORD a = fd.dwFileAttributes;
    bool match = filesOnly ? !(a & FILE_ATTRIBUTE_DIRECTORY)
                           : (mask == 0 ? a == 0 : (a & (mask & 0x37)) != 0);
    if (match) return newText(wideToGbk(fd.cFileName));
  }
  if (*handle) FindClose(*handle);
  *handle = nullptr;
  return nullptr;
}

// Routine 2: an array in the constant area is replaced by a heap copy. The
// element type is not passed, so room for the widest element (8 bytes) is
// taken; reallocMemory copies no further than the constant area's end.
void unshareArray(void** array) {
  if (!array || !*array || !isConstant(*array)) return;
  uint64_t size = arrayBlockSize(*array, kTagDouble);
  if (size > 0xFFFFFFF0u) size = 0xFFFFFFF0u;
  *array = reallocMemory(*array, uint32_t(size));
}

int64_t RT_CDECL callRuntimeRoutine(int32_t routine, ...) {
  va_list ap;
  va_start(ap, routine);
  int64_t result = 0;
  switch (routine) {
    case 0: {
      const char* pattern = va_arg(ap, const char*);
      uint32_t mask = va_arg(ap, uint32_t);
      int32_t filesOnly = va_arg(ap, int32_t);
      HANDLE* handle = va_arg(ap, HANDLE*);
      result = int64_t(uintptr_t(fileSearchStep(pattern, mask, filesOnly, handle)));
      break;
    }
    case 1: {
      HANDLE h = va_arg(ap, HANDLE);
      if (h) FindClose(h);
      break;
    }
    case 2: {
      unshareArray(va_arg(ap, void**));
      break;
    }
    case 3: registerExitRoutine(va_arg(ap, uintptr_t)); break;
    case 4: {
      uint32_t type = va_arg(ap, uint32_t);
      LiveObject* obj = va_arg(ap, LiveObject*);
      int32_t property = va_arg(ap, int32_t);
      int32_t element = va_arg(ap, int32_t);
      result = readObjectProperty(type, obj, property, element);
      break;
    }
    case 5: {
      uint32_t type = va_arg(ap, uint32_t);
      LiveObject* obj = va_arg(ap, LiveObject*);
      int32_t property = va_arg(ap, int32_t);
      int32_t element = va_arg(ap, int32_t);
      uint32_t low = va_arg(ap, uint32_t);
      uint32_t high = va_arg(ap, uint32_t);
      writeObjectProperty(type, obj, property, element, low, high);
      break;
    }
    case 6: runtimeInit(); break;
    default: break;
  }
  va_end(ap);
  return result;
}

const ServiceTable kServices = {
    reportRuntimeErrorEntry,                          // ReportRuntimeError
    reinterpret_cast<void*>(&CallDllCommandEntry),    // CallDllCommand
    callLibraryCommand,                               // CallLibraryCommand
    callCoreCommand,                                  // CallCoreCommand
    readEntry,                                        // ReadComponentProperty
    writeEntry,                                       // WriteComponentProperty
    allocEntry,                                       // AllocMemory
    reallocEntry,                                     // ReallocMemory
    freeEntry,                                        // FreeMemory
    exitEntry,                                        // ExitProgram
    loopEntry,                                        // RunMessageLoop
    loadEntry,                                        // LoadStartupWindow
    callRuntimeRoutine,                               // CallRuntimeRoutine
};

}  // namespace

const ServiceTable& serviceTable() { return kServices; }

}  // namespace rt
