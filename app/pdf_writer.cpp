#include "app/pdf_writer.h"
#include "browser/bmp_image.h"
#include <zlib.h>
#include <algorithm>
#include <new>
#include <cstdio>
#include <cstring>
#include <string>

namespace app {

namespace {

constexpr size_t kBufferSize = 64 * 1024;
// Fast enough for a page in a few milliseconds; screen pictures of text
// gain little from harder work.
constexpr int kDeflateLevel = 6;
// Objects 1 to 3 are the catalog, the information dictionary and the page
// tree; page k (from 0) owns the four objects from kFirstPageObject + 4k:
// the page, its picture, the picture's length and its content stream.
constexpr uint32_t kCatalog = 1, kInfo = 2, kPageTree = 3, kFirstPageObject = 4;
constexpr uint32_t kObjectsPerPage = 4;
// The cross-reference table holds offsets in ten digits.
constexpr uint64_t kMaxOffset = 9999999999ull;

bool flush(PdfWriter* w) {
  if (w->failed) return false;
  if (w->used > 0 && !w->sink.write(w->sink.context, w->buffer.data(), w->used)) {
    w->failed = true;
    return false;
  }
  w->written += w->used;
  w->used = 0;
  return true;
}

void put(PdfWriter* w, const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (n > 0 && !w->failed) {
    const size_t k = std::min(n, kBufferSize - w->used);
    memcpy(w->buffer.data() + w->used, p, k);
    w->used += k;
    p += k;
    n -= k;
    if (w->used == kBufferSize) flush(w);
  }
}
void put(PdfWriter* w, const std::string& s) { put(w, s.data(), s.size()); }

std::string number(uint64_t n) { return std::to_string(n); }
std::string ref(uint32_t object) { return number(object) + " 0 R"; }

// Pixels at 96 dpi in points (72 a inch): three quarters, exact in decimals.
std::string points(uint32_t pixels) {
  static const char* const kQuarters[] = {"", ".25", ".5", ".75"};
  const uint64_t q = uint64_t(pixels) * 3;
  return number(q / 4) + kQuarters[q % 4];
}

// (pixels - insets x kInset) in points, exactly: kInset is 1/64 pixel, so
// every such figure has at most eight decimals.
constexpr double kInset = 1.0 / 64;
std::string insetPoints(uint32_t pixels, int insets) {
  char s[40];
  snprintf(s, sizeof s, "%.8f", (double(pixels) - insets * kInset) * 0.75);
  std::string t = s;
  t.erase(t.find_last_not_of('0') + 1);
  if (t.back() == '.') t.pop_back();
  return t;
}

void beginObject(PdfWriter* w, uint32_t object) {
  if (w->offsets.size() < object) w->offsets.resize(object, 0);
  w->offsets[object - 1] = w->written + w->used;
  put(w, number(object) + " 0 obj\n");
}

// A text string: printable ASCII as a literal, anything else as UTF-16BE
// with its byte order mark, the form readers take for non-Latin text.
std::string textString(const uint16_t* units, size_t n) {
  bool plain = true;
  for (size_t i = 0; i < n; ++i) plain = plain && units[i] >= 0x20 && units[i] < 0x7F;
  std::string s;
  if (plain) {
    s = "(";
    for (size_t i = 0; i < n; ++i) {
      const char c = char(units[i]);
      if (c == '(' || c == ')' || c == '\\') s += '\\';
      s += c;
    }
    return s + ")";
  }
  s = "<FEFF";
  char hex[5];
  for (size_t i = 0; i < n; ++i) {
    snprintf(hex, sizeof hex, "%04X", unsigned(units[i]));
    s += hex;
  }
  return s + ">";
}

// Deflates the picture's rows top-down as RGB straight into the output
// buffer; the compressed size, or -1 when zlib or the sink failed.
int64_t putPixels(PdfWriter* w, const uint8_t* bmp, const web::BmpLayout& l) {
  std::vector<uint8_t> rgb(size_t(l.width) * 3);   // before zlib's state, which a throw would leak
  z_stream z{};
  const int init = deflateInit(&z, kDeflateLevel);
  if (init == Z_MEM_ERROR) throw std::bad_alloc();
  if (init != Z_OK) return -1;
  int rc = Z_OK;
  for (uint32_t y = 0; y < l.height && rc == Z_OK && !w->failed; ++y) {
    const uint8_t* src = web::bmpRow(bmp, l, y);
    for (uint32_t x = 0; x < l.width; ++x) {
      rgb[3 * x] = src[4 * x + 2];
      rgb[3 * x + 1] = src[4 * x + 1];
      rgb[3 * x + 2] = src[4 * x];
    }
    const int mode = y + 1 == l.height ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = rgb.data();
    z.avail_in = uInt(rgb.size());
    // Until the row is taken in (and, for the last, the stream is ended),
    // with room in the buffer on every call.
    do {
      if (w->used == kBufferSize && !flush(w)) break;
      z.next_out = w->buffer.data() + w->used;
      z.avail_out = uInt(kBufferSize - w->used);
      rc = deflate(&z, mode);
      w->used = kBufferSize - z.avail_out;
    } while (rc == Z_OK && (z.avail_in > 0 || z.avail_out == 0 || mode == Z_FINISH));
    if (rc == Z_BUF_ERROR) rc = Z_OK;   // no progress possible: only when nothing was left
  }
  const int64_t size = rc == Z_STREAM_END && !w->failed ? int64_t(z.total_out) : -1;
  deflateEnd(&z);
  return size;
}

PdfStatus begin(PdfWriter* w, PdfSink sink, const uint16_t* title, size_t titleUnits) {
  w->sink = sink;
  w->buffer.assign(kBufferSize, 0);
  w->used = 0;
  w->written = 0;
  w->offsets.clear();
  w->pages = 0;
  w->failed = false;
  // The comment's bytes above 127 mark the file as binary for transfers.
  put(w, "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n", 15);
  beginObject(w, kCatalog);
  put(w, "<< /Type /Catalog /Pages " + ref(kPageTree) + " >>\nendobj\n");
  beginObject(w, kInfo);
  put(w, titleUnits > 0 ? "<< /Title " + textString(title, titleUnits) + " >>\nendobj\n"
                        : std::string("<< >>\nendobj\n"));
  return w->failed ? PdfStatus::kWriteFailed : PdfStatus::kOk;
}

PdfStatus addBmpPage(PdfWriter* w, const uint8_t* bmp, size_t size) {
  if (w->failed) return PdfStatus::kWriteFailed;
  web::BmpLayout l;
  if (!web::readBmpLayout(bmp, size, &l)) return PdfStatus::kBadPicture;
  const uint32_t page = kFirstPageObject + kObjectsPerPage * w->pages;
  const std::string width = points(l.width), height = points(l.height);

  beginObject(w, page);
  put(w, "<< /Type /Page /Parent " + ref(kPageTree) + " /MediaBox [0 0 " + width + " " + height +
             "] /Resources << /XObject << /P " + ref(page + 1) + " >> >> /Contents " +
             ref(page + 3) + " >>\nendobj\n");
  beginObject(w, page + 1);
  put(w, "<< /Type /XObject /Subtype /Image /Width " + number(l.width) + " /Height " +
             number(l.height) +
             " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode /Length " +
             ref(page + 2) + " >>\nstream\n");
  const int64_t compressed = putPixels(w, bmp, l);
  if (compressed < 0) {
    w->failed = true;
    return PdfStatus::kWriteFailed;
  }
  put(w, "\nendstream\nendobj\n");
  beginObject(w, page + 2);
  put(w, number(uint64_t(compressed)) + "\nendobj\n");
  // The picture fills the page, inset by kInset pixels at its right, top
  // and bottom edges: renderers that paint every device pixel an image edge
  // touches would otherwise stretch it by one pixel at exact pixel edges.
  const std::string content = "q " + insetPoints(l.width, 1) + " 0 0 " +
                              insetPoints(l.height, 2) + " 0 " + insetPoints(0, -1) +
                              " cm /P Do Q\n";
  beginObject(w, page + 3);
  put(w, "<< /Length " + number(content.size()) + " >>\nstream\n" + content +
             "endstream\nendobj\n");
  ++w->pages;
  return w->failed ? PdfStatus::kWriteFailed : PdfStatus::kOk;
}

PdfStatus finish(PdfWriter* w) {
  if (w->failed) return PdfStatus::kWriteFailed;
  if (w->pages == 0) return PdfStatus::kNoPages;
  beginObject(w, kPageTree);
  std::string kids;
  for (uint32_t k = 0; k < w->pages; ++k)
    kids += (k ? " " : "") + ref(kFirstPageObject + kObjectsPerPage * k);
  put(w, "<< /Type /Pages /Kids [" + kids + "] /Count " + number(w->pages) + " >>\nendobj\n");
  const uint64_t xref = w->written + w->used;
  if (xref > kMaxOffset) return PdfStatus::kWriteFailed;
  put(w, "xref\n0 " + number(w->offsets.size() + 1) + "\n0000000000 65535 f \n");
  char entry[21];
  for (uint64_t offset : w->offsets) {
    snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offset));
    put(w, entry, 20);
  }
  put(w, "trailer\n<< /Size " + number(w->offsets.size() + 1) + " /Root " + ref(kCatalog) +
             " /Info " + ref(kInfo) + " >>\nstartxref\n" + number(xref) + "\n%%EOF\n");
  return flush(w) ? PdfStatus::kOk : PdfStatus::kWriteFailed;
}

// Runs a step; an allocation that fails inside it fails the document
// instead of throwing through the caller.
template <class F>
PdfStatus guarded(PdfWriter* w, F step) {
  try {
    return step();
  } catch (const std::bad_alloc&) {
    w->failed = true;
    return PdfStatus::kNoMemory;
  }
}

}  // namespace

PdfStatus PdfBegin(PdfWriter* w, PdfSink sink, const uint16_t* title, size_t titleUnits) {
  return guarded(w, [&] { return begin(w, sink, title, titleUnits); });
}

PdfStatus PdfAddBmpPage(PdfWriter* w, const uint8_t* bmp, size_t size) {
  return guarded(w, [&] { return addBmpPage(w, bmp, size); });
}

PdfStatus PdfFinish(PdfWriter* w) {
  return guarded(w, [&] { return finish(w); });
}

}  // namespace app
