// Where the run-time error report goes: a sink given the finished GBK text.
// A sink normally does not return; if it does, the process still ends with -1.
#pragma once
#include <string>

namespace rt {

typedef void (*ErrorSink)(const std::string& text);
void setErrorSink(ErrorSink sink);

}  // namespace rt
