// The application's routines bound to events, and the code area that the
// form description's event tables point into: a table of fixed-size jump
// stubs (code_area.S) numbered as data/startup_form_ids.h says.
#pragma once
#include <cstdint>
#include "data/startup_form_ids.h"
#include "runtime/abi.h"

namespace app {
using namespace form;
}  // namespace app

// Event routines: cdecl, result slot first; none takes arguments or
// returns a value.
extern "C" {
void RT_CDECL OnFirstActivation(rt::RoutineResult* result);
void RT_CDECL OnWindowResized(rt::RoutineResult* result);
void RT_CDECL OnWindowMoved(rt::RoutineResult* result);
void RT_CDECL OnLayoutTimer(rt::RoutineResult* result);
void RT_CDECL OnHomeButton(rt::RoutineResult* result);
void RT_CDECL OnCaptureButton(rt::RoutineResult* result);
extern const uint8_t kAppCode[];
}
