// A PDF of whole-page pictures, written as it goes: each page's objects
// leave as soon as the page is added, so no more than one page's pixels are
// held at a time, and only the cross-reference table waits for the end.
// Each page is one 32-bit BMP file image shown at its own pixel size on a
// page of that size at 96 dpi, its pixels compressed losslessly (Flate).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace app {

// Where the document's bytes go. write returns false when they could not
// all be written; the document then fails.
struct PdfSink {
  void* context;
  bool (*write)(void* context, const uint8_t* data, size_t size);
};

enum class PdfStatus {
  kOk,
  kBadPicture,    // not a 32-bit uncompressed BMP file image, or cut short
  kWriteFailed,   // the sink refused bytes
  kNoPages,       // finishing a document without a page
  kNoMemory,      // an allocation failed; the document is failed, nothing thrown
};

struct PdfWriter {
  PdfSink sink;
  std::vector<uint8_t> buffer;     // fixed size; its first `used` bytes wait for the sink
  size_t used;
  uint64_t written;                // bytes handed over: the offset of buffer[0]
  std::vector<uint64_t> offsets;   // offsets[k] of object k + 1
  uint32_t pages;
  bool failed;                     // the sink refused bytes; nothing more goes out
};

// None of these throws: out of memory fails the document with kNoMemory.

// Starts a document whose Title is the UTF-16 title (units in host order;
// empty for none): the header, the catalog and the information dictionary.
PdfStatus PdfBegin(PdfWriter* w, PdfSink sink, const uint16_t* title, size_t titleUnits);

// Adds the BMP file image as the next page. kBadPicture leaves the document
// as it was, so the caller decides whether to go on.
PdfStatus PdfAddBmpPage(PdfWriter* w, const uint8_t* bmp, size_t size);

// Writes the page tree, the cross-reference table and the trailer, and hands
// every remaining byte to the sink.
PdfStatus PdfFinish(PdfWriter* w);

}  // namespace app
