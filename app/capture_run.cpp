// The capture run behind 按钮1: page count and title from the page source,
// then per page: hide the overlays, turn the page and make sure it turned,
// wait for it to finish, snapshot, save; at the end the whole paper as one
// PDF beside the pictures, and a closing message that names any page not
// turned or not finished.
#include "app/capture_steps.h"
#include "app/command_frame.h"
#include "app/constants.h"
#include "app/dll_routines.h"
#include "app/folder_name.h"
#include "app/globals.h"
#include "app/page_checks.h"
#include "app/paper_pdf.h"
#include "app/picture_saving.h"
#include "app/routines.h"
#include "app/run_messages.h"
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

// The start of a page: the caption, then the overlays hidden one by one,
// each inside the wait that follows it, and the page as it stands before
// its turn, taken after the last overlay went.
struct PageStart {
  Run* run;
  int32_t page;
  int32_t overlay;
  PageState before;
};

void showPageProgress(void* start) {
  auto* s = static_cast<PageStart*>(start);
  showProgress(*s->run, s->page);
}

void hideOverlay(void* start) {
  auto* s = static_cast<PageStart*>(start);
  callBrowser(web::SetElementVisible, formFill(s->run->formFill), intArg(gMainWebViewHandle),
              intArg(2), textArg(kOverlaySelectors[s->overlay]), intArg(1), boolArg(false));
}

void readPageBefore(void* start) { static_cast<PageStart*>(start)->before = pageState(); }

// The first page has no picture before it: the view as it stands is, once
// the engine holds its picture; false when the window went meanwhile.
bool firstLook(PageStart* start) {
  bool ready = false;
  if (!waitForPicture(kFinishBoundMs, &ready)) return false;
  start->run->previous = snapshot();
  return true;
}

Step capturePage(Run* run, int32_t page) {
  PageStart start{run, page, 0, {nullptr, false}};
  if (!wait(1111, showPageProgress, &start)) return Step::kWindowClosed;
  for (; start.overlay < kOverlayCount; ++start.overlay) {
    // The page is read in the second half of the last overlay's wait: both
    // calls at once, each a round trip to the browser, could hold the
    // window up beyond what it may.
    const bool last = start.overlay + 1 == kOverlayCount;
    if (!wait(last ? 25 : 50, hideOverlay, &start) || (last && !wait(25, readPageBefore, &start))) {
      release(start.before.text);
      return Step::kWindowClosed;
    }
  }
  if (!run->previous && !firstLook(&start)) {
    release(start.before.text);
    return Step::kWindowClosed;
  }
  Look look;
  Step step = turnPage(run, start.before, &look);
  release(start.before.text);
  if (step == Step::kGoOn && !look.finished) noteUnfinished(run, page);
  if (step == Step::kGoOn) step = savePicture(run, page, look.picture, look.takenAt);
  if (step == Step::kGoOn) {
    release(run->previous);
    run->previous = look.picture;   // kept: the next turn is told by it
    look.picture = nullptr;
  }
  look.clear();
  if (step == Step::kStuck) run->stuckAt = page;
  return step;
}

// The capture folder for a title prefix, which is made safe in place: the
// page may have filled it with characters that would make the folder fail
// or leave pic\. Owned by the caller.
char* captureFolder(char* prefix) {
  MakeFolderNameSafe(prefix);
  char* runDirectory = ownedText(callCore(core::RunDirectory));
  char* folder = concatText({runDirectory, kPicFolder, prefix});
  release(runDirectory);
  return folder;
}

// The paper behind a page count already read, under the page's title.
void capturePaper(uint32_t formFillObject, int32_t pageCount, const char* title) {
  char* prefix = LeftChars(title, 20);
  if (pageCount < 1 || pageCount > kMaxPageCount) {
    release(prefix);
    if (tellPageCount(pageCount)) backToIdle();
    return;
  }

  char* folder = captureFolder(prefix);
  release(prefix);
  if (!IsDirectory(folder) && !CreateDirectoryPath(folder)) {
    const bool stands = tellFailure({kFolderFailedMessage, folder, kCheckDiskHint});
    release(folder);
    if (stands) backToIdle();
    return;
  }
  Run run{formFillObject, folder, nullptr, nullptr, pageCount - 1, nullptr, nullptr, 0};
  // A paper of one page has no picture to print.
  if (pageCount > 1) run.pdf = OpenPaperPdf(folder, title);
  run.caption = readText(kStartupWindow, kWindowRecord, kPropWindowCaption);
  Step step = wait(555) ? Step::kGoOn : Step::kWindowClosed;
  for (int32_t page = 1; page < pageCount && step == Step::kGoOn; ++page)
    step = capturePage(&run, page);
  release(folder);
  release(run.previous);
  const bool windowGone = step == Step::kWindowClosed;
  if (!windowGone) writeText(kStartupWindow, kWindowRecord, kPropWindowCaption, run.caption);
  release(run.caption);
  // A window closed mid-run still leaves the PDF of the pages saved so far.
  if (step == Step::kStopped || windowGone) {
    closePdf(run.pdf, windowGone, windowGone);   // a failed save drops it
    if (step == Step::kStopped) backToIdle();
    release(run.unfinished);
    return;
  }

  // The PDF is put in place as the prompt starts, while the controls are
  // still hidden; its failure costs no picture.
  callCore(core::PlayMusic, binArg(kVoicePrompt), omitted());
  bool pdfSaved = false;
  if (closePdf(run.pdf, true, false, &pdfSaved) && answerWindow()) {
    backToIdle();
    char* message = closingMessage(run, pdfSaved);
    callCore(core::InfoBox, textArg(message), intArg(0), textArg(kDoneTitle));
    release(message);
  }
  release(run.unfinished);
}

// The run. When the window is closed during it, it stops at once: there is
// nothing of the window left to restore.
void captureRun(uint32_t formFillObject) {
  writeText(kStartupWindow, kButton1, kPropButtonCaption, kCaptionRunning);
  const int32_t answer =
      callCore(core::InfoBox, textArg(kStartMessage), intArg(0), textArg(kStartTitle)).i;
  if (!windowStands()) return;
  if (answer == 0) {
    setControlsVisible(false);
    MoveMouse(0, 0, 0);
  }

  char* source = pageSource();
  char* countText = TextBetween(source, kZIndex, kSemicolon);
  const int32_t pageCount = callCore(core::ToInteger, textArg(countText)).i;
  release(countText);
  char* title = TextBetween(source, kTitleOpen, kLessThan);
  release(source);
  capturePaper(formFillObject, pageCount, title);
  release(title);
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
