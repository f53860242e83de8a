// The paper as one PDF beside its pictures, written page by page as the
// run saves them and put in place when the run ends. Compressing a page
// takes a worker thread, so the window goes on answering meanwhile.
#pragma once
#include <cstdint>

namespace app {

// The file of picture `page` in the capture folder: folder\<page>.bmp.
// Owned by the caller.
char* PictureFile(const char* folder, int32_t page);

struct PaperPdf;

// Starts the paper's PDF: folder\<title>.pdf, the title trimmed, cut to
// kMaxFileTitleChars characters and made safe like the folder's name, or
// "试卷" when empty; its Title is the trimmed title. The bytes go to
// "<name>.pdf.part" until the PDF is complete. A PDF that cannot
// be started is a failure told when it is closed. Null only when there is
// no memory for it: then there is no PDF.
PaperPdf* OpenPaperPdf(const char* folder, const char* title);

// Queues a saved picture (the BMP byte-set that was written) as the next
// page; the PDF takes a copy, so the caller keeps its own. After a failure
// it does nothing, and the part written so far is gone.
void AddPaperPage(PaperPdf* pdf, const uint8_t* picture);

// Drops the part to free the room it holds, for a picture that could not
// be saved: the pictures come first. True when there was a part to drop;
// the PDF is then a failure told when it is closed.
bool DropPaperPdf(PaperPdf* pdf);

// How closing went: ok false names the PDF that failed (`failed`); a PDF
// that could not replace the earlier one is kept under `keptAs`. Both
// texts are owned by the caller.
struct PdfClosing {
  bool ok;
  char* failed;
  char* keptAs;
};

// keep: the pages queued so far make the PDF, which is finished, flushed
// and put in place of any earlier one (none is made without pages).
// Otherwise the part is dropped. Waits for the queued pages first. Frees
// pdf; null is no PDF at all.
PdfClosing ClosePaperPdf(PaperPdf* pdf, bool keep);

}  // namespace app
