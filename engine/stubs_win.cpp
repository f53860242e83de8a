// The exports this engine does not do, defined from neutral_exports.inc;
// the build fails when an export of the binding list is in neither that
// table nor real_exports.h (and links twice when in both).
#include <windows.h>

#include <cstdint>

#include "binding/engine_types.h"
#include "engine/real_exports.h"

namespace {

struct Nothing {};
const Nothing nothing;

template <class T, class A>
T neutral(A answer) {
  return static_cast<T>(answer);
}
template <class T>
T neutral(Nothing) {
  return T();
}

constexpr bool same(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

constexpr const char* kNeutral[] = {
#define ENGINE_NEUTRAL(type, name, answer) #name,
#include "engine/neutral_exports.inc"
#undef ENGINE_NEUTRAL
};

constexpr bool isNeutral(const char* name) {
  for (const char* n : kNeutral)
    if (same(n, name)) return true;
  return false;
}

}  // namespace

#define ENGINE_NEUTRAL(type, name, answer) \
  extern "C" __declspec(dllexport) type name() { return neutral<type>(answer); }
#include "engine/neutral_exports.inc"
#undef ENGINE_NEUTRAL

#define ENGINE_CHECK_LISTED(r, n, a) static_assert(isNeutral(#n), #n " is neither real nor neutral");
#define ENGINE_FN(r, n, a) ENGINE_PICK(n)(ENGINE_SKIP, ENGINE_CHECK_LISTED)(r, n, a)
#include "binding/engine_api.inc"
#undef ENGINE_FN
