// The PDF goes through the program's DLL commands, to a temporary name that
// replaces the PDF only when complete, as the pictures do. The worker only
// compresses and writes: the runtime's heap and services stay on the window
// thread, and the worker gets copies of the pictures.
#include "app/paper_pdf.h"
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>
#include "app/constants.h"
#include "app/folder_name.h"
#include "app/command_frame.h"
#include "app/pdf_writer.h"
#include "app/dll_routines.h"
#include "runtime/core_commands.h"

namespace app {

namespace {

// This file's tag in a stack-mismatch report.
constexpr int32_t kLocation = 0x1004;

constexpr uint32_t kGenericWrite = 0x40000000u, kCreateAlways = 2, kAttributeNormal = 0x80;
constexpr uint32_t kInvalidHandle = 0xFFFFFFFFu, kReplaceExisting = 1;
// Names tried, "<name>(2).pdf" on, for a PDF that cannot replace the earlier one.
constexpr int32_t kLastAsideNumber = 9;

uint32_t wideAddress(const uint8_t* wide) { return address(byteSetData(wide)); }

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
  char* base;               // folder\name, the PDF's name without ".pdf"
  char* target;             // the PDF's name, and the part's
  char* partial;
  int32_t pages;            // pages handed in
  std::mutex lock;          // guards the fields below once the worker runs
  std::condition_variable wake;
  std::deque<std::vector<uint8_t>> queue;   // pictures the worker has still to add
  bool stopping;
  bool failed;
  std::thread worker;
};

namespace {

// Closes the part; deletes it too unless it is to be kept. False when the
// close failed.
bool closePart(PaperPdf* pdf, bool keep) {
  if (pdf->file == kInvalidHandle) return false;
  const bool closed = callDll(kLocation, kCloseHandle, pdf->file) != 0;
  pdf->file = kInvalidHandle;
  if (!keep || !closed) {
    uint8_t* wide = TextToWide(pdf->partial);
    callDll(kLocation, kDeleteFileW, wideAddress(wide));
    release(wide);
  }
  return closed;
}

void work(PaperPdf* pdf) {
  std::unique_lock<std::mutex> hold(pdf->lock);
  while (true) {
    pdf->wake.wait(hold, [pdf] { return pdf->stopping || !pdf->queue.empty(); });
    if (pdf->queue.empty()) return;
    std::vector<uint8_t> picture = std::move(pdf->queue.front());
    pdf->queue.pop_front();
    if (pdf->failed) continue;
    hold.unlock();
    const bool added =
        PdfAddBmpPage(&pdf->writer, picture.data(), picture.size()) == PdfStatus::kOk;
    picture = std::vector<uint8_t>();
    hold.lock();
    if (!added) pdf->failed = true;
  }
}

// Ends the worker once the queue is done, or at once, its queue dropped,
// when the PDF is given up. The window thread then has the PDF to itself.
void stopWorker(PaperPdf* pdf, bool giveUp) {
  if (!pdf->worker.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(pdf->lock);
    pdf->stopping = true;
    if (giveUp) {
      pdf->failed = true;
      pdf->queue.clear();
    }
  }
  pdf->wake.notify_one();
  pdf->worker.join();
}

void fail(PaperPdf* pdf) {
  stopWorker(pdf, true);
  pdf->failed = true;
  closePart(pdf, false);
}

bool moveFile(const char* from, const char* to, uint32_t flags) {
  uint8_t* wideFrom = TextToWide(from);
  uint8_t* wideTo = TextToWide(to);
  const bool moved = wideFrom && wideTo &&
                     callDll(kLocation, kMoveFileExW, wideAddress(wideFrom), wideAddress(wideTo),
                             flags) != 0;
  release(wideFrom);
  release(wideTo);
  return moved;
}

// A finished part that cannot replace the PDF (a viewer holds the old one
// open) goes under a free name beside it, or stays as the part: the name it
// is kept under, owned by the caller.
char* keepAside(PaperPdf* pdf) {
  for (int32_t n = 2; n <= kLastAsideNumber; ++n) {
    char* number = ownedText(callCore(core::ToText, intArg(n)));
    char* aside = concatText({pdf->base, kOpenParen, number, kCloseParen, kPdfSuffix});
    release(number);
    if (moveFile(pdf->partial, aside, 0)) return aside;
    release(aside);
  }
  return concatText({pdf->partial});
}

}  // namespace

char* PictureFile(const char* folder, int32_t page) {
  char* number = ownedText(callCore(core::ToText, intArg(page)));
  char* file = concatText({folder, kBackslash, number, kBmpSuffix});
  release(number);
  return file;
}

PaperPdf* OpenPaperPdf(const char* folder, const char* title) {
  // Its members allocate as they are made, so nothrow new would not do.
  PaperPdf* pdf;
  try {
    pdf = new PaperPdf{};
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  pdf->file = kInvalidHandle;
  char* trimmed = concatText({title});
  TrimTitle(trimmed);
  char* name = concatText({trimmed});
  CutToChars(name, kMaxFileTitleChars);
  MakeFolderNameSafe(name);
  pdf->base = concatText({folder, kBackslash, name ? name : kDefaultPdfTitle});
  release(name);
  pdf->target = concatText({pdf->base, kPdfSuffix});
  pdf->partial = concatText({pdf->target, kPartSuffix});
  uint8_t* widePartial = TextToWide(pdf->partial);
  pdf->file = widePartial
                  ? callDll(kLocation, kCreateFileW, wideAddress(widePartial), kGenericWrite, 0,
                            0, kCreateAlways, kAttributeNormal, 0)
                  : kInvalidHandle;
  release(widePartial);
  uint8_t* wideTitle = TextToWide(trimmed);
  release(trimmed);
  const uint32_t units = byteSetSize(wideTitle) / 2;   // the terminator included
  bool started = pdf->file != kInvalidHandle &&
                 PdfBegin(&pdf->writer, PdfSink{&pdf->file, writeToFile},
                          reinterpret_cast<const uint16_t*>(byteSetData(wideTitle)),
                          units ? units - 1 : 0) == PdfStatus::kOk;
  release(wideTitle);
  if (started) {
    try {
      pdf->worker = std::thread(work, pdf);
    } catch (const std::exception&) {   // no thread, or no memory for one
      started = false;
    }
  }
  if (!started) fail(pdf);
  return pdf;
}

void AddPaperPage(PaperPdf* pdf, const uint8_t* picture) {
  if (!pdf) return;
  ++pdf->pages;
  {
    std::lock_guard<std::mutex> hold(pdf->lock);
    if (pdf->failed) return;
    try {
      pdf->queue.emplace_back(byteSetData(picture), byteSetData(picture) + byteSetSize(picture));
    } catch (const std::bad_alloc&) {
      pdf->failed = true;   // the part goes when the PDF is closed
      return;
    }
  }
  pdf->wake.notify_one();
}

bool DropPaperPdf(PaperPdf* pdf) {
  if (!pdf || pdf->file == kInvalidHandle) return false;
  fail(pdf);
  return true;
}

PdfClosing ClosePaperPdf(PaperPdf* pdf, bool keep) {
  PdfClosing result{true, nullptr, nullptr};
  if (!pdf) return result;
  stopWorker(pdf, !keep || pdf->pages == 0);
  if (keep && pdf->pages > 0) {
    bool ok = !pdf->failed && PdfFinish(&pdf->writer) == PdfStatus::kOk;
    // On disk before it counts as saved: a power cut must not leave an
    // empty PDF under the name.
    ok = ok && callDll(kLocation, kFlushFileBuffers, pdf->file) != 0;
    ok = closePart(pdf, ok) && ok;   // deleted unless finished and closed
    if (ok && !moveFile(pdf->partial, pdf->target, kReplaceExisting)) {
      ok = false;
      result.keptAs = keepAside(pdf);
    }
    result.ok = ok;
  } else {
    closePart(pdf, false);
  }
  if (!result.ok) {
    result.failed = pdf->target;
    pdf->target = nullptr;
  }
  release(pdf->base);
  release(pdf->target);
  release(pdf->partial);
  delete pdf;
  return result;
}

}  // namespace app
