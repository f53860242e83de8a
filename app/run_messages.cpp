#include "app/run_messages.h"
#include "app/command_frame.h"
#include "app/constants.h"
#include "app/paper_pdf.h"
#include "runtime/core_commands.h"

namespace app {

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

bool closePdf(PaperPdf* pdf, bool keep, bool windowGone, bool* saved) {
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

}  // namespace app
