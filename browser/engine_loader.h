// Locating, loading and binding the engine DLL, and the runtime's
// notification entry the library keeps. Windows only.
#pragma once
#include <cstdint>
#include <string>

#include "binding/engine_types.h"
#include "runtime/abi.h"

namespace web {

// One slot per export, in binding order; a missing export stays null.
struct EngineTable {
#define ENGINE_FN(ret, name, params) ret(ENGINE_CALL* name) params;
#include "binding/engine_api.inc"
#undef ENGINE_FN
};

constexpr int kEngineExportCount = 379;
static_assert(sizeof(EngineTable) == kEngineExportCount * sizeof(void*), "one slot per export");

extern EngineTable gEngine;
extern const char* const kEngineExportNames[kEngineExportCount];

// Runtime notification through the entry kept at library start (0 before).
int32_t notifyRuntime(int32_t code, uint32_t p1, uint32_t p2);
int32_t RT_CALL libraryNotify(int32_t code, uint32_t p1, uint32_t p2);

// The run directory with its trailing backslash, as GBK.
std::string runDirectory();

bool LocateEngine();
int32_t BindEngine(const wkeSettings* settings);
int32_t FileExists(const wchar_t* path);
const std::wstring& enginePath();

// Locate (every call until found), then bind once. False, after a message,
// when no engine was found, it failed to load or it cannot make windows;
// the next call then starts again.
bool initEngine();

}  // namespace web
