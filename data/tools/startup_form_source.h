// The startup window as the form designer would hold it: records with ids,
// geometry, flags, event bindings and property blocks.
#pragma once
#include <cstdint>
#include <vector>
#include "runtime/form_description.h"

namespace formgen {

rt::FormDescription startupForm();
std::vector<uint8_t> startupFormBytes();

}  // namespace formgen
