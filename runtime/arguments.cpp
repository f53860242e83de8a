#include "runtime/arguments.h"
#include "runtime/value_blocks.h"

namespace rt {

bool textArg(int32_t argc, const Value* args, int32_t i, std::string_view* out) {
  const Value* v = argAt(argc, args, i);
  if (!v || v->tag != kTagText) return false;
  *out = textOf(v->text);
  return true;
}

bool textArg(int32_t argc, const Value* args, int32_t i, std::string_view def,
             std::string_view* out) {
  if (argAt(argc, args, i)) return textArg(argc, args, i, out);
  *out = def;
  return true;
}

bool textPtrArg(int32_t argc, const Value* args, int32_t i, const char** out) {
  const Value* v = argAt(argc, args, i);
  if (!v || v->tag != kTagText) return false;
  *out = v->text ? v->text : "";
  return true;
}

bool intArg(int32_t argc, const Value* args, int32_t i, int32_t def, int32_t* out) {
  const Value* v = argAt(argc, args, i);
  if (!v) {
    *out = def;
    return true;
  }
  switch (v->tag) {
    case kTagInt: case kTagBool: *out = v->i; return true;
    case kTagByte: *out = uint8_t(v->u); return true;
    case kTagShort: *out = int16_t(v->u); return true;
    default: return false;
  }
}

}  // namespace rt
