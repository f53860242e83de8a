// Every export of the binding list that exports_win.cpp does not define
// gets a stub returning the zero value of its type.
#include <windows.h>

#include "browser/engine_types.h"
#include "engine/implemented.h"

namespace {
template <class T>
T neutral() {
  return T();
}
}  // namespace

#define ENGINE_STUB(r, n, a) extern "C" __declspec(dllexport) r n a { return neutral<r>(); }
#define ENGINE_FN(r, n, a) ENGINE_PICK(n)(ENGINE_SKIP, ENGINE_STUB)(r, n, a)
#include "browser/engine_api.inc"
#undef ENGINE_FN
