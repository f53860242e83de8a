#include "app/capture_steps.h"
#include "app/command_frame.h"
#include "app/constants.h"
#include "app/dll_routines.h"
#include "app/globals.h"
#include "browser/browser_commands.h"
#include "runtime/core_commands.h"

namespace app {

// This file's tag in a stack-mismatch report.
constexpr int32_t kLocation = 0x1005;

rt::Value formFill(uint32_t record) {
  rt::Value v{{.l = 0}, rt::kTypeFormFill};
  v.u = record;
  return v;
}

bool windowStands() { return callBrowser(web::GetWebViewHandle, gMainBrowser).i != 0; }

bool wait(int64_t ms, void (*work)(void*), void* context) {
  Delay(ms, 0, work, context);
  return windowStands();
}

bool answerWindow() {
  callCore(core::ProcessEvents);
  return windowStands();
}

bool tellFailure(std::initializer_list<const char*> parts) {
  char* text = concatText(parts);
  callCore(core::InfoBox, textArg(text), intArg(0), textArg(kSaveFailedTitle));
  release(text);
  return windowStands();
}

uint32_t ticks() { return callDll(kLocation, kGetTickCount); }

uint8_t* snapshot() {
  const int32_t width = int32_t(double(readInt(kStartupWindow, kBrowser1, kPropWidth)) - 15.0);
  return callBrowser(web::CaptureViewBitmap,
                     componentArg(rt::kTypeBrowserView, kStartupWindow, kBrowser1), omitted(),
                     omitted(), intArg(width), omitted()).bin;
}

}  // namespace app
