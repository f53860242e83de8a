// Event dispatch of notifications 2008 and 2031: finds the bound application
// routine and calls it on the user-interface thread.
#pragma once
#include <cstdint>
#include "runtime/abi.h"

namespace rt {

// Application routines are cdecl: the result slot, then up to 24 argument
// words. Passing all 24 is safe because a cdecl caller pops what it pushed.
typedef void (RT_CDECL* AppRoutine)(RoutineResult*, uint32_t, uint32_t, uint32_t, uint32_t,
                                    uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                    uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                    uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                    uint32_t, uint32_t);
constexpr int kMaxRoutineWords = 24;

// 1 when a routine ran, 0 when none is bound or events are suppressed.
int32_t dispatchEvent(EventRecord* ev);
int32_t dispatchTypedEvent(TypedEventRecord* ev);
// Raises an event of a window's own record with integer arguments.
int32_t raiseWindowEvent(uint32_t windowId, int32_t event, int32_t argc, const int32_t* args);

}  // namespace rt
