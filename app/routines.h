// The application's routines bound to events, and the code area that the
// form description's event tables point into: a table of fixed-size jump
// stubs (code_area.S), so each routine's offset is its stub number times
// kStubSize, known before linking.
#pragma once
#include <cstdint>
#include "runtime/abi.h"

namespace app {

constexpr int32_t kStubSize = 8;
enum Stub : int32_t {
  kStubFirstActivation,
  kStubWindowResized,
  kStubWindowMoved,
  kStubLayoutTimer,
  kStubHomeButton,
  kStubCaptureButton,
};
constexpr int32_t stubOffset(Stub s) { return s * kStubSize; }

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
