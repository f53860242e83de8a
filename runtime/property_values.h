// Property values crossing ReadComponentProperty / WriteComponentProperty:
// the clamps of the common geometry properties and the conversion between
// the 64-bit service value and a component's 8-byte property value.
#pragma once
#include <cstdint>
#include "runtime/abi.h"

namespace rt {

enum class PropForm { Integer, Real, Logical, Text, Choice, Raw, Font };
PropForm propForm(uint16_t typeCode);

inline int32_t clampPosition(int32_t v) { return v > 32627 ? 32627 : v < -32627 ? -32627 : v; }
inline int32_t clampSize(int32_t v) { return v > 32627 ? 32627 : v < 0 ? 0 : v; }

// Read: texts and raw data come back as new blocks the caller owns.
int64_t propertyResult(PropForm form, const PropValue& v);
// Write: the 8-byte form of a service value. Texts and raw data point into
// the caller's value. False for forms that cannot be written this way.
bool propertyArgument(PropForm form, uint32_t low, uint32_t high, PropValue* out);

}  // namespace rt
