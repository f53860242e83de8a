// The form description reader on arbitrary bytes: it must refuse or accept
// without reading out of bounds, and what it accepts must write back to a
// block it reads again identically.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>
#include "runtime/form_description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> copy(data, data + size);  // exact bounds for ASan
  rt::FormDescription form;
  if (!rt::readFormDescription(copy.data(), copy.size(), &form)) return 0;
  std::vector<uint8_t> out = rt::writeFormDescription(form);
  rt::FormDescription again;
  if (!rt::readFormDescription(out.data(), out.size(), &again)) std::abort();
  if (rt::writeFormDescription(again) != out) std::abort();
  return 0;
}
