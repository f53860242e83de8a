// The run-time error report. The Windows runtime installs a sink that shows
// the message box and ends the program; without one (native builds, tests
// that link only the neutral core) the text goes to stderr.
#include <cstdio>
#include <cstdlib>
#include "runtime/error_report.h"
#include "runtime/error_text.h"
#include "runtime/runtime.h"
#include "runtime/runtime_state.h"

namespace rt {
namespace {
ErrorSink gSink = nullptr;
}

void setErrorSink(ErrorSink sink) { gSink = sink; }

void reportError(std::string_view message, int32_t code, int32_t w1, int32_t w2) {
  // No event may run while the report is shown, nor afterwards.
  ++state().suppress;
  std::string text = errorReportText(message, code, w1, w2);
  if (gSink) gSink(text);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
  std::_Exit(-1);
}

}  // namespace rt
