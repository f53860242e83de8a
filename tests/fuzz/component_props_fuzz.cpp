// Every block the readers accept must write back to something they accept
// again with the same values.
#include <cstdlib>
#include "components/property_blocks.h"

namespace {
template <typename P, typename R, typename W>
void check(const uint8_t* data, size_t size, R read, W write) {
  P p;
  if (read(data, static_cast<uint32_t>(size), &p) != comp::ReadStatus::kOk) return;
  std::vector<uint8_t> once = write(p);
  P q;
  if (read(once.data(), static_cast<uint32_t>(once.size()), &q) != comp::ReadStatus::kOk) abort();
  if (write(q) != once) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  check<comp::WindowProps>(data, size, comp::readWindowProps, comp::writeWindowProps);
  check<comp::EditBoxProps>(data, size, comp::readEditBoxProps, comp::writeEditBoxProps);
  check<comp::ButtonProps>(data, size, comp::readButtonProps, comp::writeButtonProps);
  check<comp::TimerProps>(data, size, comp::readTimerProps, comp::writeTimerProps);
  return 0;
}
