// The PDF goes through the program's DLL commands, to a temporary name that
// replaces the PDF only when complete, as the pictures do.
#include "app/paper_pdf.h"
#include "app/constants.h"
#include "app/folder_name.h"
#include "app/frame.h"
#include "app/pdf_writer.h"
#include "app/system_routines.h"
#include "runtime/core_commands.h"

namespace app {

namespace {

// This file's tag in a stack-mismatch report.
constexpr int32_t kLocation = 0x1004;

constexpr uint32_t kGenericWrite = 0x40000000u, kCreateAlways = 2, kAttributeNormal = 0x80;
constexpr uint32_t kInvalidHandle = 0xFFFFFFFFu, kReplaceExisting = 1;

uint32_t wideAddress(const uint8_t* wide) { return wide ? address(wide + 8) : 0; }

bool writeToFile(void* context, const uint8_t* data, size_t size) {
  const uint32_t h = *static_cast<uint32_t*>(context);
  while (size > 0) {
    uint32_t done = 0;
    if (callDll(kLocation, kWriteFile, h, address(data), uint32_t(size), address(&done), 0) == 0 ||
        done == 0)
      return false;
    data += done;
    size -= done;
  }
  return true;
}

}  // namespace

struct PaperPdf {
  PdfWriter writer;
  uint32_t file;            // the part's handle; kInvalidHandle when not open
  uint8_t* widePartial;     // wide names of the part and the PDF
  uint8_t* wideTarget;
  char* target;             // the PDF's name, for a failure box
  bool failed;
};

namespace {

// Closes the part; drops it too unless it is to be kept. False when the
// close failed.
bool closePart(PaperPdf* pdf, bool keep) {
  if (pdf->file == kInvalidHandle) return false;
  const bool closed = callDll(kLocation, kCloseHandle, pdf->file) != 0;
  pdf->file = kInvalidHandle;
  if (!keep || !closed) callDll(kLocation, kDeleteFileW, wideAddress(pdf->widePartial));
  return closed;
}

void fail(PaperPdf* pdf) {
  pdf->failed = true;
  closePart(pdf, false);
}

}  // namespace

char* PictureFile(const char* folder, int32_t page) {
  char* number = ownedText(callCore(core::ToText, intArg(page)));
  char* file = concatText({folder, kBackslash, number, kBmpSuffix});
  release(number);
  return file;
}

PaperPdf* OpenPaperPdf(const char* folder, const char* title) {
  auto* pdf = new PaperPdf{};
  char* trimmed = concatText({title});
  TrimTitle(trimmed);
  char* name = concatText({trimmed});
  CutToChars(name, kMaxFileTitleChars);
  MakeFolderNameSafe(name);
  pdf->target = concatText({folder, kBackslash, name ? name : kDefaultPdfTitle, kPdfSuffix});
  release(name);
  char* partial = concatText({pdf->target, kPartSuffix});
  pdf->widePartial = TextToWide(partial);
  pdf->wideTarget = TextToWide(pdf->target);
  release(partial);
  pdf->file = pdf->widePartial
                  ? callDll(kLocation, kCreateFileW, wideAddress(pdf->widePartial), kGenericWrite,
                            0, 0, kCreateAlways, kAttributeNormal, 0)
                  : kInvalidHandle;
  uint8_t* wideTitle = TextToWide(trimmed);
  release(trimmed);
  const uint32_t units = byteSetSize(wideTitle) / 2;   // the terminator included
  if (pdf->file == kInvalidHandle ||
      PdfBegin(&pdf->writer, PdfSink{&pdf->file, writeToFile},
               reinterpret_cast<const uint16_t*>(byteSetData(wideTitle)),
               units ? units - 1 : 0) != PdfStatus::kOk)
    fail(pdf);
  release(wideTitle);
  return pdf;
}

void AddPaperPage(PaperPdf* pdf, const uint8_t* picture) {
  if (!pdf || pdf->failed) return;
  if (PdfAddBmpPage(&pdf->writer, byteSetData(picture), byteSetSize(picture)) != PdfStatus::kOk)
    fail(pdf);
}

bool DropPaperPdf(PaperPdf* pdf) {
  if (!pdf || pdf->failed) return false;
  fail(pdf);
  return true;
}

bool ClosePaperPdf(PaperPdf* pdf, bool complete, char** failedFile) {
  *failedFile = nullptr;
  if (!pdf) return true;
  bool ok = !pdf->failed;
  if (complete && ok) {
    ok = PdfFinish(&pdf->writer) == PdfStatus::kOk;
    ok = closePart(pdf, ok) && ok;   // dropped unless finished and closed
    if (ok && callDll(kLocation, kMoveFileExW, wideAddress(pdf->widePartial),
                      wideAddress(pdf->wideTarget), kReplaceExisting) == 0) {
      ok = false;
      callDll(kLocation, kDeleteFileW, wideAddress(pdf->widePartial));
    }
  } else {
    closePart(pdf, false);
  }
  if (complete && !ok) *failedFile = pdf->target;
  else release(pdf->target);
  release(pdf->widePartial);
  release(pdf->wideTarget);
  delete pdf;
  return !complete || ok;
}

}  // namespace app
