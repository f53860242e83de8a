// What the capture run tells the person: the caption while it runs, the
// pages it could not finish, a refused page count, a PDF that failed, and
// the closing message.
#pragma once
#include <cstdint>
#include "app/capture_steps.h"

namespace app {

// The caption for picture `page` of the run's count.
void showProgress(const Run& run, int32_t page);

// Remembers picture `page` as saved before its page finished.
void noteUnfinished(Run* run, int32_t page);

// Shows a refused page count; false when the window went meanwhile.
bool tellPageCount(int32_t pageCount);

// Closes the PDF, keeping the pages saved so far, and tells a failure
// (unless the window is gone); false when the window went meanwhile.
// *saved: whether the PDF was saved, under its name or the one the box gives.
bool closePdf(PaperPdf* pdf, bool keep, bool windowGone, bool* saved = nullptr);

// The closing message: "下载完成！" only when every page was turned and
// saved finished; otherwise which pictures were not. Owned by the caller.
char* closingMessage(const Run& run, bool pdfSaved);

}  // namespace app
