// How compiled application code meets the runtime: its program header and
// the thirteen-entry service table handed to its start-up code.
#pragma once
#include <cstdint>
#include "runtime/library_records.h"
#include "runtime/typed_value.h"

namespace rt {

#pragma pack(push, 4)
// Program header (13 words).
struct ProgramHeader {
  int32_t kind;                     // 3
  int32_t reserved;
  int32_t idCounter;
  const uint8_t* codeBase;          // event-handler offsets are relative to it
  const uint8_t* constStart;
  uint32_t constSize;
  const uint8_t* formStart;
  uint32_t formSize;
  int32_t libraryCount;
  const LibraryRecord* const* libraries;
  int32_t dllCount;
  const char* const* dllFiles;
  const char* const* dllFunctions;
};
#pragma pack(pop)
static_assert(sizeof(ProgramHeader) == 52 || sizeof(void*) != 4, "program header is 13 words");

// Service table: the thirteen entries compiled code reaches the runtime by.
// CallDllCommand takes the DLL function's own arguments unchanged (the
// caller's side is dll_call.h); CallRuntimeRoutine takes a routine number,
// then that routine's own arguments (service_table_win.cpp lists them).
struct ServiceTable {
  void (RT_CALL* reportRuntimeError)(int32_t code, int32_t w1, int32_t w2);
  void* callDllCommand;
  Value (RT_CALL* callLibraryCommand)(int32_t library, CommandFn fn, int32_t argc, Value* args);
  Value (RT_CALL* callCoreCommand)(CommandFn fn, int32_t argc, Value* args);
  int64_t (RT_CALL* readComponentProperty)(uint32_t windowId, uint32_t componentId,
                                           int32_t property, int32_t element);
  void (RT_CALL* writeComponentProperty)(uint32_t windowId, uint32_t componentId,
                                         int32_t property, int32_t element,
                                         uint32_t low, uint32_t high);
  void* (RT_CALL* allocMemory)(uint32_t size);
  void* (RT_CALL* reallocMemory)(void* p, uint32_t size);
  void (RT_CALL* freeMemory)(void* p);
  void (RT_CALL* exitProgram)(int32_t code);
  void (RT_CALL* runMessageLoop)();
  void (RT_CALL* loadStartupWindow)(uint32_t windowId);
  int64_t (RT_CDECL* callRuntimeRoutine)(int32_t routine, ...);
};

}  // namespace rt

// Supplied by the compiled application: its program header, and its
// start-up code, which the runtime's instance initialisation calls.
extern "C" const rt::ProgramHeader kProgramHeader;
extern "C" int32_t RT_CALL AppStart(const rt::ServiceTable* services);
