// The capture run behind 按钮1: page count and title from the page source,
// then per page: hide the overlays, turn the page and make sure it turned,
// wait for it to finish, snapshot, save; at the end the whole paper as one
// PDF beside the pictures, and a closing message that names any page not
// turned or not finished.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include "app/constants.h"
#include "app/folder_name.h"
#include "app/command_frame.h"
#include "app/globals.h"
#include "app/paper_pdf.h"
#include "app/routines.h"
#include "app/dll_routines.h"
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

// Closing the window during a wait destroys every component the run goes
// on to use, and touching one then is a run-time error. The view's handle
// is the one thing that can be asked: it is 0 once the view is gone.
bool windowStands() { return callBrowser(web::GetWebViewHandle, gMainBrowser).i != 0; }

// Delay, then whether the run may go on. work, when given, is the step
// the wait follows: it runs at the wait's start, and its time comes out of
// the wait, which still lasts ms from the step.
bool wait(int64_t ms, void (*work)(void*) = nullptr, void* context = nullptr) {
  Delay(ms, 0, work, context);
  return windowStands();
}

// A box telling why the run stops; false when the window went meanwhile.
bool tellFailure(std::initializer_list<const char*> parts) {
  char* text = concatText(parts);
  callCore(core::InfoBox, textArg(text), intArg(0), textArg(kSaveFailedTitle));
  release(text);
  return windowStands();
}

enum class Step { kGoOn, kStopped, kStuck, kWindowClosed };

// This file's tag in a stack-mismatch report.
constexpr int32_t kLocation = 0x1005;
// Two looks at the view agree when kLooksApartMs apart; while a page
// settles after its pictures arrived, it is looked at every kSettleMs.
constexpr int32_t kLooksApartMs = 100, kSettleMs = 50;
// After a click the run waits 555 ms, as the reader expects; the first look
// is taken inside that wait, and the second look and the page's state
// after it, inside the page's closing wait when the page has finished. By
// then the engine has usually made its picture of the quiet page, so
// neither look waits for one.
constexpr int32_t kAfterClickMs = 555;
// A page gets this long to finish; while its pictures load it is asked
// every kLoadingPollMs.
constexpr uint32_t kFinishBoundMs = 10000;
constexpr int32_t kLoadingPollMs = 30;
// Clicks on "next" for one page before the paper counts as stuck.
constexpr int32_t kTurnTries = 3;
// The wait after a page's picture is taken, from the moment it is taken;
// while the picture is written the window is served every kSavePollMs.
constexpr int32_t kAfterPageMs = 1111, kSavePollMs = 10;

// The run's state across pages.
struct Run {
  uint32_t formFill;
  const char* folder;
  PaperPdf* pdf;
  char* caption;        // the window's own caption, restored at the end
  int32_t pictures;     // the pictures the run is to take
  uint8_t* previous;    // the view before this page's turn: the last picture saved
  char* unfinished;     // "3.bmp、5.bmp": pictures saved before their page finished
  int32_t stuckAt;      // the picture whose page did not turn; 0 when none
};

// What the page says of itself: its pictures in view still loading, and
// a signature of its document (owned text; empty when the script failed);
// and whether the engine still loads anything for it: a picture of no
// size, or not in view, that has not come keeps the page unfinished too.
struct PageState {
  char* text;
  bool requests;
  bool loading() const { return requests || (text && atoi(text) > 0); }
  const char* signature() const {
    const char* space = text ? strchr(text, ' ') : nullptr;
    return space ? space + 1 : "";
  }
};

PageState pageState() {
  char* text = ownedText(callBrowser(web::RunPageScript, gMainBrowser, textArg(kPageStateScript)));
  return {text, callBrowser(web::IsPageLoading, gMainBrowser).i != 0};
}

uint8_t* snapshot() {
  const int32_t width = int32_t(double(readInt(kStartupWindow, kBrowser1, kPropWidth)) - 15.0);
  return callBrowser(web::CaptureViewBitmap,
                     componentArg(rt::kTypeBrowserView, kStartupWindow, kBrowser1), omitted(),
                     omitted(), intArg(width), omitted()).bin;
}

bool samePicture(const uint8_t* a, const uint8_t* b) {
  return a && b && byteSetSize(a) == byteSetSize(b) &&
         memcmp(byteSetData(a), byteSetData(b), byteSetSize(a)) == 0;
}

uint32_t ticks() { return callDll(kLocation, kGetTickCount); }

// Two looks at the page in hand: the page's state with the view after it
// (`now`), and the view a moment before (`before`, may be null).
struct Looks {
  PageState state{nullptr, false};
  uint8_t* before = nullptr;
  uint8_t* now = nullptr;
  uint32_t nowAt = 0;   // tick when `now` was taken: the page's picture, if saved
  void clear() {
    release(state.text);
    release(before);
    release(now);
    *this = Looks{};
  }
  // Looks at the view again: the last look becomes the one before.
  void look() {
    release(before);
    before = now;
    nowAt = ticks();
    now = snapshot();
  }
  void clearLooks() {
    release(before);
    release(now);
    before = nullptr;
    now = nullptr;
  }
  void askState() {
    release(state.text);
    state = pageState();
  }
};

void takeLook(void* picture) { *static_cast<uint8_t**>(picture) = snapshot(); }

void clickNext(void* formFillObject) {
  callBrowser(web::ClickElement, formFill(*static_cast<uint32_t*>(formFillObject)),
              intArg(gMainWebViewHandle), intArg(2), textArg(kPageTurnSelector), intArg(1));
}

// Clicks "next" and waits after it, with both looks and the page's state
// taken.
bool clickAndLook(uint32_t formFillObject, Looks* looks) {
  if (!wait(kAfterClickMs - kLooksApartMs, clickNext, &formFillObject)) return false;
  if (!wait(kLooksApartMs, takeLook, &looks->before)) return false;
  looks->nowAt = ticks();
  looks->now = snapshot();
  looks->state = pageState();
  return true;
}

// The turn happened when the document or the view changed.
bool turned(const PageState& before, const Looks& looks, const uint8_t* previous) {
  return strcmp(before.signature(), looks.state.signature()) != 0 ||
         !samePicture(looks.now, previous);
}

// Turns the page: clicks "next", and when neither the document nor the view
// moved, waits, looks again and only then clicks again, so a turn that was
// merely slow is never clicked twice. kStuck after kTurnTries clicks.
Step turnPage(Run* run, const PageState& before, Looks* looks) {
  for (int32_t click = 1;; ++click) {
    if (!clickAndLook(run->formFill, looks)) return Step::kWindowClosed;
    if (turned(before, *looks, run->previous)) return Step::kGoOn;
    if (click == kTurnTries) return Step::kStuck;
    if (!wait(1111)) return Step::kWindowClosed;
    looks->look();
    looks->askState();
    if (turned(before, *looks, run->previous)) return Step::kGoOn;
    looks->clear();
  }
}

// Waits until the page has finished: no picture in view still loading and
// then two looks agreeing, both taken after the last picture arrived. Only
// the page is asked while its pictures load: asking makes the engine take a
// new picture for the next look. False when the bound passed first. A view
// that gives no picture has nothing to wait for: saving it fails.
bool settle(Looks* looks, bool* closed) {
  const uint32_t start = ticks();
  while (looks->state.loading() || !samePicture(looks->before, looks->now)) {
    if (ticks() - start >= kFinishBoundMs) {
      if (!looks->now) looks->look();   // saved as it stands
      return false;
    }
    if (looks->state.loading()) {
      if (!wait(kLoadingPollMs)) {
        *closed = true;
        return false;
      }
      looks->askState();
      // The looks so far show it loading: the next two are taken after.
      if (!looks->state.loading()) looks->clearLooks();
      continue;
    }
    // Looks are kSettleMs apart from the start of one to the start of the
    // next; one that took that long already is followed at once.
    const uint32_t since = ticks() - looks->nowAt;
    if (looks->now && since < uint32_t(kSettleMs) && !wait(kSettleMs - since)) {
      *closed = true;
      return false;
    }
    looks->look();
    if (!looks->now) return true;
  }
  return true;
}

void showProgress(const Run& run, int32_t page) {
  char* number = ownedText(callCore(core::ToText, intArg(page)));
  char* count = ownedText(callCore(core::ToText, intArg(run.pictures)));
  char* caption = concatText({run.caption, kProgressHead, number, kSlash, count});
  writeText(kStartupWindow, kWindowRecord, kPropWindowCaption, caption);
  release(caption);
  release(count);
  release(number);
}

void noteUnfinished(Run* run, int32_t page) {
  char* number = ownedText(callCore(core::ToText, intArg(page)));
  char* list = concatText({run->unfinished, run->unfinished ? kListSeparator : nullptr, number,
                           kBmpSuffix});
  release(number);
  release(run->unfinished);
  run->unfinished = list;
}

bool writePicture(const char* file, uint8_t* picture) {
  return callCore(core::WriteToFile, textArg(file), binArg(picture)).i != 0;
}

// A picture written on a thread of its own while the page's closing wait
// runs: the write and its flush would keep the window from answering.
struct Saving {
  char* file;
  uint8_t* picture;   // the caller's; kept alive until finished
  std::atomic<bool> done{false};
  bool saved = false;
  std::thread writer;
};

void startSaving(Saving* s) {
  if (!s->picture) {
    s->done = true;
    return;
  }
  try {
    s->writer = std::thread([s] {
      s->saved = writePicture(s->file, s->picture);
      s->done = true;
    });
  } catch (const std::exception&) {   // no thread to spare: written here
    s->saved = writePicture(s->file, s->picture);
    s->done = true;
  }
}

// Ends the save; kStopped when the picture cannot be saved. An empty
// picture would make an empty .bmp; a failed write would leave the page
// missing while the run went on to report success. With the window gone
// there is nobody to tell.
Step finishSaving(Run* run, Saving* s, bool windowGone) {
  if (s->writer.joinable()) s->writer.join();
  bool saved = s->saved;
  // The run stops on a picture it cannot save, so the PDF's part goes at
  // once, before any box; it may hold the very room the picture needs.
  if (!saved && !windowGone && DropPaperPdf(run->pdf) && s->picture)
    saved = writePicture(s->file, s->picture);
  if (saved) AddPaperPage(run->pdf, s->picture);
  if (windowGone) return Step::kWindowClosed;
  if (saved) return Step::kGoOn;
  const bool stands = s->picture ? tellFailure({kSaveFailedMessage, s->file, kCheckDiskHint})
                                 : tellFailure({kCaptureFailedMessage, s->file});
  return stands ? Step::kStopped : Step::kWindowClosed;
}

// Saves the finished page's picture during the page's closing wait, which
// runs from `takenAt`, when the picture was taken, and which it does not
// lengthen; the PDF gets the page as soon as it is on disk.
Step savePicture(Run* run, int32_t page, uint8_t* picture, uint32_t takenAt) {
  Saving saving;
  saving.file = PictureFile(run->folder, page);
  saving.picture = picture;
  startSaving(&saving);
  const uint32_t start = takenAt;
  bool stands = true;
  while (stands && !saving.done && ticks() - start < kAfterPageMs) stands = wait(kSavePollMs);
  Step step = finishSaving(run, &saving, !stands);
  release(saving.file);
  const uint32_t spent = ticks() - start;
  if (step == Step::kGoOn && spent < uint32_t(kAfterPageMs) && !wait(kAfterPageMs - spent))
    step = Step::kWindowClosed;
  return step;
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
  if (s->overlay + 1 < kOverlayCount) return;
  // The first page has no picture before it: the view as it stands is.
  if (!s->run->previous) s->run->previous = snapshot();
  s->before = pageState();
}

Step capturePage(Run* run, int32_t page) {
  PageStart start{run, page, 0, {nullptr, false}};
  if (!wait(1111, showPageProgress, &start)) return Step::kWindowClosed;
  for (; start.overlay < kOverlayCount; ++start.overlay) {
    if (!wait(50, hideOverlay, &start)) {
      release(start.before.text);
      return Step::kWindowClosed;
    }
  }
  Looks looks;
  Step step = turnPage(run, start.before, &looks);
  release(start.before.text);
  bool closed = false;
  if (step == Step::kGoOn && !settle(&looks, &closed)) {
    if (closed) step = Step::kWindowClosed;
    else noteUnfinished(run, page);
  }
  if (step == Step::kGoOn) step = savePicture(run, page, looks.now, looks.nowAt);
  if (step == Step::kGoOn) {
    release(run->previous);
    run->previous = looks.now;   // kept: the next turn is told by it
    looks.now = nullptr;
  }
  looks.clear();
  if (step == Step::kStuck) run->stuckAt = page;
  return step;
}

// Closes the PDF, keeping the pages saved so far, and tells a failure
// (unless the window is gone); false when the window went meanwhile.
// *saved: whether the PDF was saved, under its name or the one the box gives.
bool closePdf(PaperPdf* pdf, bool keep, bool windowGone, bool* saved = nullptr) {
  PdfClosing closing = ClosePaperPdf(pdf, keep);
  if (saved) *saved = pdf && (closing.ok || closing.keptAs);
  bool stands = !windowGone;
  if (!closing.ok && stands) {
    stands = closing.keptAs
                 ? tellFailure({kPdfKeptHead, closing.failed, kPdfKeptMiddle, closing.keptAs})
                 : tellFailure({kPdfFailedMessage, closing.failed, kCheckDiskHint});
  }
  release(closing.failed);
  release(closing.keptAs);
  return stands;
}

// The closing message: "下载完成！" only when every page was turned and
// saved finished; otherwise which pictures were not. Owned by the caller.
char* closingMessage(const Run& run, bool pdfSaved) {
  if (!run.stuckAt && !run.unfinished) return concatText({kDoneMessage});
  char* stuck = nullptr;
  if (run.stuckAt) {
    char* number = ownedText(callCore(core::ToText, intArg(run.stuckAt)));
    stuck = concatText({kStuckHead, number, kStuckTail, run.stuckAt > 1 && pdfSaved ? kStuckKept : nullptr});
    release(number);
  }
  char* text = concatText({stuck, stuck && run.unfinished ? kLineBreak : nullptr,
                           run.unfinished ? kUnfinishedHead : nullptr, run.unfinished});
  release(stuck);
  return text;
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

// Shows a refused page count; false when the window went meanwhile.
bool tellPageCount(int32_t pageCount) {
  if (pageCount == 0) {
    callCore(core::InfoBox, textArg(kZeroPagesMessage), intArg(0), textArg(kZeroPagesTitle));
  } else {
    char* number = ownedText(callCore(core::ToText, intArg(pageCount)));
    char* text = concatText({kPageRangeHead, number, kPageRangeTail});
    callCore(core::InfoBox, textArg(text), intArg(0), textArg(kZeroPagesTitle));
    release(text);
    release(number);
  }
  return windowStands();
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

  backToIdle();
  // The PDF is put in place as the prompt starts; its failure costs no picture.
  callCore(core::PlayMusic, binArg(kVoicePrompt), omitted());
  bool pdfSaved = false;
  if (closePdf(run.pdf, true, false, &pdfSaved)) {
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
