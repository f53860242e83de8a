// The paper as one PDF beside its pictures, written page by page as the
// run saves them and put in place only when the run has saved every page.
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
// "<name>.pdf.part" until the PDF is complete. Never null: a PDF that cannot
// be started is a failure told when it is closed.
PaperPdf* OpenPaperPdf(const char* folder, const char* title);

// Adds a saved picture (the BMP byte-set that was written) as the next page.
// After a failure it does nothing, and the part written so far is gone.
void AddPaperPage(PaperPdf* pdf, const uint8_t* picture);

// Drops the part to free the room it holds, for a picture that could not
// be saved: the pictures come first. True when there was a part to drop;
// the PDF is then a failure told when it is closed.
bool DropPaperPdf(PaperPdf* pdf);

// complete: the run saved every page; the PDF is finished and replaces any
// earlier one, and false comes back if that failed, with *failedFile the
// PDF's name (owned by the caller). Otherwise the part is dropped. Frees pdf;
// null is no PDF at all.
bool ClosePaperPdf(PaperPdf* pdf, bool complete, char** failedFile);

}  // namespace app
