// The capture run behind 按钮1: page count and title from the page source,
// then per page: hide the overlays, turn the page, snapshot, save.
#include "app/constants.h"
#include "app/frame.h"
#include "app/globals.h"
#include "app/routines.h"
#include "app/system_routines.h"
#include "app/text_routines.h"
#include "browser/browser_commands.h"
#include "runtime/core_commands.h"

extern "C" uint8_t kVoicePrompt[];   // byte-set block in the constant area

namespace app {

namespace {

void setControlsVisible(bool visible) {
  writeInt(kStartupWindow, kButton1, kPropVisible, visible);
  writeInt(kStartupWindow, kButton2, kPropVisible, visible);
  writeInt(kStartupWindow, kEditBox1, kPropVisible, visible);
}

void backToIdle() {
  writeText(kStartupWindow, kButton1, kPropButtonCaption, kCaptionIdle);
  setControlsVisible(true);
}

rt::Value formFill(uint32_t record) {
  rt::Value v{{.l = 0}, rt::kTypeFormFill};
  v.u = record;
  return v;
}
// The form-fill initialiser and finaliser take the variable itself.
rt::Value formFillVariable(uint32_t* variable) {
  rt::Value v{{.l = 0}, rt::kTypeFormFill};
  v.u = uint32_t(reinterpret_cast<uintptr_t>(variable));
  return v;
}

char* pageSource() {
  char* html = ownedText(callBrowser(web::GetElementHtml, gMainBrowser));
  char* text = ownedText(callBrowser(web::Utf8ToText, textArg(html)));
  release(html);
  return text;
}

void capturePage(uint32_t formFillObject, const char* folder, int32_t page) {
  Delay(1111);
  for (const char* selector : kOverlaySelectors) {
    callBrowser(web::SetElementVisible, formFill(formFillObject), intArg(gMainWebViewHandle),
                intArg(2), textArg(selector), intArg(1), boolArg(false));
    Delay(50);
  }
  callBrowser(web::ClickElement, formFill(formFillObject), intArg(gMainWebViewHandle), intArg(2),
              textArg(kPageTurnSelector), intArg(1));
  Delay(555);
  const int32_t width = int32_t(double(readInt(kStartupWindow, kBrowser1, kPropWidth)) - 15.0);
  uint8_t* picture = callBrowser(web::CaptureViewBitmap,
                                 componentArg(rt::kTypeBrowserView, kStartupWindow, kBrowser1),
                                 omitted(), omitted(), intArg(width), omitted()).bin;
  char* number = ownedText(callCore(core::ToText, intArg(page)));
  char* file = concatText({folder, kBackslash, number, kBmpSuffix});
  callCore(core::WriteToFile, textArg(file), binArg(picture));
  release(file);
  release(number);
  release(picture);
  Delay(1111);
}

void captureRun(uint32_t formFillObject) {
  writeText(kStartupWindow, kButton1, kPropButtonCaption, kCaptionRunning);
  if (callCore(core::InfoBox, textArg(kStartMessage), intArg(0), textArg(kStartTitle)).i == 0) {
    setControlsVisible(false);
    MoveMouse(0, 0, 0);
  }

  char* source = pageSource();
  char* countText = TextBetween(source, kZIndex, kSemicolon);
  const int32_t pageCount = callCore(core::ToInteger, textArg(countText)).i;
  release(countText);
  char* title = TextBetween(source, kTitleOpen, kLessThan);
  char* prefix = LeftChars(title, 20);
  release(title);
  release(source);

  if (pageCount == 0) {
    callCore(core::InfoBox, textArg(kZeroPagesMessage), intArg(0), textArg(kZeroPagesTitle));
    backToIdle();
    release(prefix);
    return;
  }

  char* runDirectory = ownedText(callCore(core::RunDirectory));
  char* folder = concatText({runDirectory, kPicFolder, prefix});
  release(runDirectory);
  release(prefix);
  if (!IsDirectory(folder)) CreateDirectoryPath(folder);
  Delay(555);
  const int32_t last = int32_t(double(pageCount) - 1.0);
  for (int32_t page = 1; page <= last; ++page) capturePage(formFillObject, folder, page);
  release(folder);

  backToIdle();
  callCore(core::PlayMusic, binArg(kVoicePrompt), omitted());
  callCore(core::InfoBox, textArg(kDoneMessage), intArg(0), textArg(kDoneTitle));
}

}  // namespace

}  // namespace app

using namespace app;

extern "C" void RT_CDECL OnCaptureButton(rt::RoutineResult* result) {
  result->hasResult = 0;
  uint32_t formFillObject = 0;
  callBrowser(web::FormFillCreate, formFillVariable(&formFillObject));
  captureRun(formFillObject);
  callBrowser(web::FormFillDestroy, formFillVariable(&formFillObject));
}
