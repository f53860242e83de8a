// The capture run behind 按钮1: page count and title from the page source,
// then per page: hide the overlays, turn the page, snapshot, save; at the
// end the whole paper as one PDF beside the pictures.
#include "app/constants.h"
#include "app/folder_name.h"
#include "app/frame.h"
#include "app/globals.h"
#include "app/paper_pdf.h"
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

// Closing the window during a wait destroys every component the run goes
// on to use, and touching one then is a run-time error. The view's handle
// is the one thing that can be asked: it is 0 once the view is gone.
bool windowStands() { return callBrowser(web::GetWebViewHandle, gMainBrowser).i != 0; }

// Delay, then whether the run may go on.
bool wait(int64_t ms) {
  Delay(ms);
  return windowStands();
}

// A box telling why the run stops; false when the window went meanwhile.
bool tellFailure(const char* message, const char* path, const char* hint) {
  char* text = concatText({message, path, hint});
  callCore(core::InfoBox, textArg(text), intArg(0), textArg(kSaveFailedTitle));
  release(text);
  return windowStands();
}

enum class Step { kGoOn, kStopped, kWindowClosed };

// A saved picture on its way into the paper's PDF.
struct PdfPage {
  PaperPdf* pdf;
  const uint8_t* picture;
};
void addPdfPage(void* page) {
  auto* p = static_cast<PdfPage*>(page);
  AddPaperPage(p->pdf, p->picture);
}

Step capturePage(uint32_t formFillObject, const char* folder, int32_t page, PaperPdf* pdf) {
  if (!wait(1111)) return Step::kWindowClosed;
  for (const char* selector : kOverlaySelectors) {
    callBrowser(web::SetElementVisible, formFill(formFillObject), intArg(gMainWebViewHandle),
                intArg(2), textArg(selector), intArg(1), boolArg(false));
    if (!wait(50)) return Step::kWindowClosed;
  }
  callBrowser(web::ClickElement, formFill(formFillObject), intArg(gMainWebViewHandle), intArg(2),
              textArg(kPageTurnSelector), intArg(1));
  if (!wait(555)) return Step::kWindowClosed;
  const int32_t width = int32_t(double(readInt(kStartupWindow, kBrowser1, kPropWidth)) - 15.0);
  uint8_t* picture = callBrowser(web::CaptureViewBitmap,
                                 componentArg(rt::kTypeBrowserView, kStartupWindow, kBrowser1),
                                 omitted(), omitted(), intArg(width), omitted()).bin;
  char* file = PictureFile(folder, page);
  // An empty picture would make an empty .bmp; a failed write would leave
  // the page missing while the run went on to report success.
  auto save = [&] { return callCore(core::WriteToFile, textArg(file), binArg(picture)).i != 0; };
  bool saved = picture && save();
  // The run stops on a picture it cannot save, so the PDF's part goes at
  // once, before any box; it may hold the very room the picture needs.
  if (!saved && DropPaperPdf(pdf) && picture) saved = save();
  if (!saved) {
    const bool stands = picture ? tellFailure(kSaveFailedMessage, file, kCheckDiskHint)
                                : tellFailure(kCaptureFailedMessage, file, nullptr);
    release(picture);
    release(file);
    return stands ? Step::kStopped : Step::kWindowClosed;
  }
  release(file);
  // The saved picture goes into the PDF at the start of the wait, inside it.
  PdfPage next{pdf, picture};
  Delay(1111, 0, addPdfPage, &next);
  release(picture);
  return windowStands() ? Step::kGoOn : Step::kWindowClosed;
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
    const bool stands = tellFailure(kFolderFailedMessage, folder, kCheckDiskHint);
    release(folder);
    if (stands) backToIdle();
    return;
  }
  // A paper of one page has no picture to print.
  PaperPdf* pdf = pageCount > 1 ? OpenPaperPdf(folder, title) : nullptr;
  Step step = wait(555) ? Step::kGoOn : Step::kWindowClosed;
  for (int32_t page = 1; page < pageCount && step == Step::kGoOn; ++page)
    step = capturePage(formFillObject, folder, page, pdf);
  release(folder);
  char* pdfFailed = nullptr;
  if (step != Step::kGoOn) {
    ClosePaperPdf(pdf, false, &pdfFailed);
    if (step == Step::kStopped) backToIdle();
    return;
  }

  backToIdle();
  // The PDF is put in place as the prompt starts; its failure costs no picture.
  callCore(core::PlayMusic, binArg(kVoicePrompt), omitted());
  if (!ClosePaperPdf(pdf, true, &pdfFailed)) {
    const bool stands = tellFailure(kPdfFailedMessage, pdfFailed, kCheckDiskHint);
    release(pdfFailed);
    if (!stands) return;
  }
  callCore(core::InfoBox, textArg(kDoneMessage), intArg(0), textArg(kDoneTitle));
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
