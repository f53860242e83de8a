// Reading a command's typed arguments, for the core library's commands and
// every other library's alike. An omitted argument (tag 0) takes its
// default; one of a type the command does not take is refused (false), and
// the command then gives its empty result.
#pragma once
#include <cstdint>
#include <string_view>
#include "runtime/typed_value.h"

namespace rt {

// Argument i if passed (tag non-zero), else null.
inline const Value* argAt(int32_t argc, const Value* args, int32_t i) {
  return i >= 0 && i < argc && args[i].tag != kTagNone ? &args[i] : nullptr;
}
// Text argument i; false when it is missing or not a text.
bool textArg(int32_t argc, const Value* args, int32_t i, std::string_view* out);
// Optional text argument i: def when omitted, false when it is not a text.
bool textArg(int32_t argc, const Value* args, int32_t i, std::string_view def,
             std::string_view* out);
// The same as a zero-terminated pointer (never null), for commands that
// need not measure the whole text.
bool textPtrArg(int32_t argc, const Value* args, int32_t i, const char** out);
// Integer-like argument i (integer, logical, byte, short): def when omitted,
// false when it has another type.
bool intArg(int32_t argc, const Value* args, int32_t i, int32_t def, int32_t* out);

}  // namespace rt
