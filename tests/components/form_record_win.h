// A component record as the tests' forms need one: geometry from a
// rectangle, the default mouse pointer, flags and property data.
#pragma once
#include <windows.h>
#include <utility>
#include <vector>
#include "runtime/form_description.h"

inline rt::ComponentRecord record(uint32_t id, uint32_t type, RECT r, uint32_t flags,
                                  std::vector<uint8_t> data) {
  rt::ComponentRecord c;
  c.id = id;
  c.typeCode = type;
  c.left = r.left;
  c.top = r.top;
  c.width = r.right - r.left;
  c.height = r.bottom - r.top;
  c.mousePointer = {0, 0, 0, 0};
  c.flags = flags;
  c.propertyData = std::move(data);
  return c;
}
