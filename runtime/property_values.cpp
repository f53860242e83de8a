#include "runtime/property_values.h"
#include <cstring>
#include "runtime/runtime.h"

namespace rt {

PropForm propForm(uint16_t t) {
  switch (t) {
    case 1002: case 1004: return PropForm::Real;
    case 1003: return PropForm::Logical;
    case 1005: case 1007: case 1008: case 1016: case 1018: case 1019: case 1020: case 1021:
    case 1022: return PropForm::Text;
    case 1006: return PropForm::Choice;
    case 1009: case 1010: case 1011: case 1012: case 1023: case 1024: return PropForm::Raw;
    case 1013: return PropForm::Font;
    default: return PropForm::Integer;  // 1000, 1001 and the colours
  }
}

namespace {
int64_t words(uint32_t low, uint32_t high) { return int64_t(uint64_t(high) << 32 | low); }
int64_t pointerResult(const void* p) { return int64_t(reinterpret_cast<uintptr_t>(p)); }
}  // namespace

int64_t propertyResult(PropForm form, const PropValue& v) {
  switch (form) {
    case PropForm::Real: return words(v.w[0], v.w[1]);
    case PropForm::Logical: return v.i != 0;
    case PropForm::Text: return pointerResult(newText(textOf(v.text)));
    case PropForm::Raw: return pointerResult(newByteSet(v.raw.data, v.raw.data ? v.raw.size : 0));
    case PropForm::Font: return 0;
    default: return v.i;
  }
}

bool propertyArgument(PropForm form, uint32_t low, uint32_t high, PropValue* out) {
  std::memset(out, 0, sizeof *out);
  switch (form) {
    case PropForm::Real: out->w[0] = low; out->w[1] = high; return true;
    case PropForm::Logical: out->i = low != 0; return true;
    case PropForm::Choice: out->i = int32_t(low) < 0 ? 0 : int32_t(low); return true;
    case PropForm::Text: {
      const char* t = reinterpret_cast<const char*>(uintptr_t(low));
      out->text = t ? t : "";
      return true;
    }
    case PropForm::Raw: {
      auto b = reinterpret_cast<const uint8_t*>(uintptr_t(low));
      out->raw.data = byteSetData(b);
      out->raw.size = byteSetSize(b);
      return true;
    }
    case PropForm::Font: return false;
    default: out->i = int32_t(low); return true;
  }
}

}  // namespace rt
