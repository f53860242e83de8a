// Text of the run-time error report (GBK).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

// Fixed message of error codes 1-11; null for every other code.
const char* errorCodeMessage(int32_t code);
// The whole report; window ids in w1 are looked up in the window table.
std::string errorReportText(std::string_view message, int32_t code, int32_t w1, int32_t w2);

}  // namespace rt
