// Start-up window events: first activation, layout and the home button.
#include "app/constants.h"
#include "app/command_frame.h"
#include "app/globals.h"
#include "app/routines.h"
#include "browser/browser_commands.h"
#include "runtime/core_commands.h"

namespace app {

rt::Value gMainBrowser = omitted();
int32_t gMainWebViewHandle = 0;

namespace {

// Integer arithmetic is done in double precision and truncated.
int32_t minus(int32_t a, int32_t b) { return int32_t(double(a) - double(b)); }

void setDeviceParameter(const char* name, rt::Value text, rt::Value number) {
  callBrowser(web::SetDeviceParameter, gMainBrowser, textArg(name), text, number);
}

}  // namespace

void ApplyWindowLayout() {
  const int32_t sw = callCore(core::ScreenWidth).i;
  const int32_t sh = callCore(core::ScreenHeight).i;
  writeInt(kStartupWindow, kWindowRecord, kPropWidth, minus(sw, 20));
  writeInt(kStartupWindow, kWindowRecord, kPropHeight, minus(sh, 80));
  writeInt(kStartupWindow, kWindowRecord, kPropLeft, 10);
  writeInt(kStartupWindow, kWindowRecord, kPropTop, 5);
  writeInt(kStartupWindow, kBrowser1, kPropHeight,
           readInt(kStartupWindow, kWindowRecord, kPropHeight));
  writeInt(kStartupWindow, kBrowser1, kPropWidth,
           readInt(kStartupWindow, kWindowRecord, kPropWidth));
}

}  // namespace app

using namespace app;

extern "C" void RT_CDECL OnFirstActivation(rt::RoutineResult* result) {
  result->hasResult = 0;
  gMainBrowser = componentArg(rt::kTypeBrowserView, kStartupWindow, kBrowser1);
  gMainWebViewHandle = callBrowser(web::GetWebViewHandle, gMainBrowser).i;

  char* address = readText(kStartupWindow, kEditBox1, kPropEditContent);
  writeText(kStartupWindow, kBrowser1, kPropBrowserAddress, address);
  release(address);

  const int32_t sw = callCore(core::ScreenWidth).i;
  const int32_t sh = callCore(core::ScreenHeight).i;
  setDeviceParameter(kParamMaxTouchPoints, omitted(), intArg(5));
  setDeviceParameter(kParamPlatform, textArg(kPlatformName), omitted());
  setDeviceParameter(kParamHardwareConcurrency, omitted(), intArg(4));
  setDeviceParameter(kParamScreenWidth, omitted(), intArg(minus(sw, 100)));
  setDeviceParameter(kParamScreenHeight, omitted(), intArg(minus(sh, 100)));
  setDeviceParameter(kParamAvailWidth, omitted(), intArg(minus(sw, 100)));
  setDeviceParameter(kParamAvailHeight, omitted(), intArg(minus(sh, 100)));

  char* runDirectory = ownedText(callCore(core::RunDirectory));
  char* storage = concatText({runDirectory, kPicFolder});
  writeText(kStartupWindow, kBrowser1, kPropBrowserStorage, storage);
  release(storage);
  release(runDirectory);

  writeInt(kStartupWindow, kWindowRecord, kPropTop, 10);
}

extern "C" void RT_CDECL OnWindowResized(rt::RoutineResult* result) {
  result->hasResult = 0;
  writeInt(kStartupWindow, kTimer1, kPropTimerPeriod, 100);
}

extern "C" void RT_CDECL OnLayoutTimer(rt::RoutineResult* result) {
  result->hasResult = 0;
  ApplyWindowLayout();
  writeInt(kStartupWindow, kTimer1, kPropTimerPeriod, 0);
}

extern "C" void RT_CDECL OnWindowMoved(rt::RoutineResult* result) {
  result->hasResult = 0;
  constexpr int32_t kMaximised = 3;
  if (readInt(kStartupWindow, kWindowRecord, kPropWindowState) == kMaximised) ApplyWindowLayout();
}

extern "C" void RT_CDECL OnHomeButton(rt::RoutineResult* result) {
  result->hasResult = 0;
  char* address = readText(kStartupWindow, kEditBox1, kPropEditContent);
  callBrowser(web::LoadUrl, gMainBrowser, textArg(address));
  release(address);
}
