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

#define ENGINE_CAT_(a, b) a##b
#define ENGINE_CAT(a, b) ENGINE_CAT_(a, b)
#define ENGINE_CHECK_N(x, n, ...) n
#define ENGINE_CHECK(...) ENGINE_CHECK_N(__VA_ARGS__, 0, )
#define ENGINE_IS_REAL(name) ENGINE_CHECK(ENGINE_CAT(ENGINE_REAL_, name))
#define ENGINE_IF_0(real, stub) stub
#define ENGINE_IF_1(real, stub) real
#define ENGINE_PICK(name) ENGINE_CAT(ENGINE_IF_, ENGINE_IS_REAL(name))
#define ENGINE_SKIP(r, n, a)
#define ENGINE_STUB(r, n, a) extern "C" __declspec(dllexport) r n a { return neutral<r>(); }
#define ENGINE_FN(r, n, a) ENGINE_PICK(n)(ENGINE_SKIP, ENGINE_STUB)(r, n, a)
#include "browser/engine_api.inc"
#undef ENGINE_FN
