// The PDF writer, read back the way a reader does: through the trailer and
// the cross-reference table, with the pictures inflated by zlib.
#include <gtest/gtest.h>
#include <zlib.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>
#include "app/pdf_writer.h"

// Allocation faults: while armed, the allocation numbered gFailFrom and
// every later one fails.
namespace {
long gFailFrom = -1, gAllocations = 0;
}
void* operator new(size_t n) {
  if (gFailFrom >= 0 && gAllocations++ >= gFailFrom) throw std::bad_alloc();
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A 32-bit BMP file image, pixels given top row first as BGRA.
Bytes bmp(int32_t width, int32_t height, const Bytes& topDownPixels) {
  const uint32_t rows = uint32_t(height < 0 ? -height : height);
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, uint32_t(54 + topDownPixels.size()));
  put32(b, 10, 54);
  put32(b, 14, 40);
  put32(b, 18, uint32_t(width));
  put32(b, 22, uint32_t(height));
  b[26] = 1;
  b[28] = 32;
  const size_t stride = size_t(width) * 4;
  for (uint32_t r = 0; r < rows; ++r) {
    const uint32_t from = height < 0 ? r : rows - 1 - r;   // stored row r shows this row
    b.insert(b.end(), topDownPixels.begin() + from * stride,
             topDownPixels.begin() + (from + 1) * stride);
  }
  return b;
}

struct Memory {
  Bytes bytes;
  size_t limit = SIZE_MAX;   // refuses any write that would pass it
  int callsAfterRefusal = 0;
  bool refused = false;
};
bool toMemory(void* context, const uint8_t* data, size_t size) {
  auto* m = static_cast<Memory*>(context);
  if (m->refused) ++m->callsAfterRefusal;
  if (m->bytes.size() + size > m->limit) {
    m->refused = true;
    return false;
  }
  m->bytes.insert(m->bytes.end(), data, data + size);
  return true;
}

// A document read back: every object's text found through the xref table.
struct Parsed {
  std::string text;
  std::vector<std::string> objects;   // objects[k] = body of object k + 1
};

size_t numberAfter(const std::string& s, const std::string& key, size_t from = 0) {
  const size_t at = s.find(key, from);
  if (at == std::string::npos) return SIZE_MAX;
  return std::stoul(s.substr(at + key.size()));
}

Parsed parse(const Bytes& pdf) {
  Parsed p;
  p.text.assign(pdf.begin(), pdf.end());
  const std::string& t = p.text;
  EXPECT_EQ(t.substr(0, 9), "%PDF-1.4\n");
  EXPECT_EQ(t.substr(t.size() - 6), "%%EOF\n");
  const size_t xref = numberAfter(t, "startxref\n", t.rfind("startxref"));
  EXPECT_EQ(t.compare(xref, 5, "xref\n"), 0);
  const size_t count = numberAfter(t, "xref\n0 ", xref);
  const size_t table = t.find('\n', xref + 7) + 1;
  EXPECT_EQ(t.compare(table, 20, "0000000000 65535 f \n"), 0);
  EXPECT_EQ(numberAfter(t, "/Size ", xref), count);
  for (size_t k = 1; k < count; ++k) {
    const std::string entry = t.substr(table + 20 * k, 20);
    EXPECT_EQ(entry.substr(10), " 00000 n \n");
    const size_t at = std::stoul(entry.substr(0, 10));
    const std::string head = std::to_string(k) + " 0 obj\n";
    EXPECT_EQ(t.compare(at, head.size(), head), 0) << "object " << k;
    const size_t body = at + head.size();
    p.objects.push_back(t.substr(body, t.find("endobj\n", body) - body));
  }
  return p;
}

Bytes inflateAll(const std::string& compressed) {
  Bytes out(1 << 20);
  uLongf size = uLongf(out.size());
  EXPECT_EQ(uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(compressed.data()),
                       uLong(compressed.size())),
            Z_OK);
  out.resize(size);
  return out;
}

// The picture object's pixels, its /Length taken from the object it names.
Bytes pictureOf(const Parsed& p, size_t object) {
  const std::string& body = p.objects[object - 1];
  const size_t lengthObject = numberAfter(body, "/Length ");
  const size_t length = std::stoul(p.objects[lengthObject - 1]);
  const size_t data = body.find("stream\n") + 7;
  EXPECT_EQ(body.compare(data + length, 11, "\nendstream\n"), 0);
  return inflateAll(body.substr(data, length));
}

Memory written(const std::vector<Bytes>& pages, const std::u16string& title = u"") {
  Memory m;
  app::PdfWriter w{};
  EXPECT_EQ(app::PdfBegin(&w, {&m, toMemory}, reinterpret_cast<const uint16_t*>(title.data()),
                          title.size()),
            app::PdfStatus::kOk);
  for (const Bytes& page : pages)
    EXPECT_EQ(app::PdfAddBmpPage(&w, page.data(), page.size()), app::PdfStatus::kOk);
  EXPECT_EQ(app::PdfFinish(&w), app::PdfStatus::kOk);
  return m;
}

// 3 x 2, bottom-up as the snapshots are; 1 x 3 top-down.
const Bytes kWide = {
    0x00, 0x00, 0xFF, 0x11, 0x00, 0xFF, 0x00, 0x22, 0xFF, 0x00, 0x00, 0x33,   // red green blue
    0x10, 0x20, 0x30, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,   // mixed white black
};
const Bytes kWideRgb = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF,
                        0x30, 0x20, 0x10, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00};
const Bytes kTall = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
const Bytes kTallRgb = {3, 2, 1, 7, 6, 5, 11, 10, 9};

TEST(PdfWriter, PagesKeepTheirOrderSizeAndEveryPixel) {
  const Parsed p = parse(written({bmp(3, 2, kWide), bmp(1, -3, kTall)}).bytes);
  ASSERT_EQ(p.objects.size(), 11u);
  EXPECT_EQ(p.objects[0], "<< /Type /Catalog /Pages 3 0 R >>\n");
  EXPECT_EQ(p.objects[2], "<< /Type /Pages /Kids [4 0 R 8 0 R] /Count 2 >>\n");
  // 3 x 2 pixels at 96 dpi are 2.25 x 1.5 points; 1 x 3 are 0.75 x 2.25.
  EXPECT_NE(p.objects[3].find("/MediaBox [0 0 2.25 1.5]"), std::string::npos);
  EXPECT_NE(p.objects[7].find("/MediaBox [0 0 0.75 2.25]"), std::string::npos);
  EXPECT_NE(p.objects[4].find("/Width 3 /Height 2 /ColorSpace /DeviceRGB /BitsPerComponent 8"),
            std::string::npos);
  // The picture is drawn 1/64 pixel short of the right, top and bottom
  // edges: (3 - 1/64) x 0.75, (2 - 2/64) x 0.75, raised by 0.75 / 64.
  const char* draw = "q 2.23828125 0 0 1.4765625 0 0.01171875 cm /P Do Q\n";
  EXPECT_NE(p.objects[6].find(std::string("stream\n") + draw), std::string::npos);
  EXPECT_EQ(numberAfter(p.objects[6], "/Length "), strlen(draw));
  EXPECT_EQ(pictureOf(p, 5), kWideRgb);
  EXPECT_EQ(pictureOf(p, 9), kTallRgb);
}

TEST(PdfWriter, PicturesLargerThanTheOutputBufferSurviveWhole) {
  // Noise does not compress: well over the writer's 64 KiB buffer.
  const int32_t w = 301, h = 97;
  Bytes pixels(size_t(w) * h * 4);
  uint32_t x = 12345;
  for (uint8_t& b : pixels) b = uint8_t((x = x * 1103515245u + 12345u) >> 16);
  const Parsed p = parse(written({bmp(w, h, pixels), bmp(w, h, pixels)}).bytes);
  Bytes rgb;
  for (size_t i = 0; i < pixels.size(); i += 4)
    rgb.insert(rgb.end(), {pixels[i + 2], pixels[i + 1], pixels[i]});
  EXPECT_EQ(pictureOf(p, 5), rgb);
  EXPECT_EQ(pictureOf(p, 9), rgb);
  EXPECT_NE(p.objects[3].find("/MediaBox [0 0 225.75 72.75]"), std::string::npos);
}

TEST(PdfWriter, TitlesAreTextStrings) {
  struct Case {
    std::u16string title;
    const char* info;
  };
  const Case cases[] = {
      {u"Exam (v2) a\\b", "<< /Title (Exam \\(v2\\) a\\\\b) >>\n"},
      {u"高三数学 2024", "<< /Title <FEFF9AD84E0965705B6600200032003000320034> >>\n"},
      {u"tab\there", "<< /Title <FEFF00740061006200090068006500720065> >>\n"},
      {u"", "<< >>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.info);
    EXPECT_EQ(parse(written({bmp(1, -3, kTall)}, c.title).bytes).objects[1], c.info);
  }
}

TEST(PdfWriter, RefusesPicturesThatAreNot32BitBmpAndWritesNothingForThem) {
  const Bytes good = bmp(3, 2, kWide);
  auto with = [&](size_t at, uint32_t v, int bytes) {
    Bytes b = good;
    for (int i = 0; i < bytes; ++i) b[at + i] = uint8_t(v >> (8 * i));
    return b;
  };
  std::vector<Bytes> bad = {
      with(0, 'X', 1),             // no signature
      with(28, 24, 2),             // 24 bits per pixel
      with(30, 3, 4),              // bit fields
      with(26, 2, 2),              // two planes
      with(18, 0, 4),              // no width
      with(18, 0xFFFFFFFF, 4),     // negative width
      with(22, 0, 4),              // no height
      with(22, 0x80000000u, 4),    // a height that cannot be negated
      with(14, 12, 4),             // an old core header
      with(10, 60, 4),             // pixels said to start past their end
      with(10, 20, 4),             // pixels said to start inside the header
      with(18, 0x40000000u, 4),    // a width whose rows overflow 32 bits
  };
  for (size_t n = 0; n < good.size(); ++n) bad.emplace_back(good.begin(), good.begin() + n);
  const Bytes clean = written({good}).bytes;
  for (const Bytes& b : bad) {
    SCOPED_TRACE(b.size());
    Memory m;
    app::PdfWriter w{};
    app::PdfBegin(&w, {&m, toMemory}, nullptr, 0);
    EXPECT_EQ(app::PdfAddBmpPage(&w, b.data(), b.size()), app::PdfStatus::kBadPicture);
    EXPECT_EQ(app::PdfAddBmpPage(&w, good.data(), good.size()), app::PdfStatus::kOk);
    EXPECT_EQ(app::PdfFinish(&w), app::PdfStatus::kOk);
    EXPECT_EQ(m.bytes, clean);
  }
}

TEST(PdfWriter, AFailingSinkFailsTheDocumentAndIsNotCalledAgain) {
  const int32_t w = 200, h = 120;   // noise: several buffers of picture
  Bytes pixels(size_t(w) * h * 4);
  uint32_t x = 7;
  for (uint8_t& b : pixels) b = uint8_t((x = x * 1103515245u + 12345u) >> 16);
  const Bytes page = bmp(w, h, pixels);
  const size_t full = written({page, page}).bytes.size();
  for (size_t limit : {size_t(0), size_t(10), size_t(65535), size_t(65536), full / 2,
                       full - 1}) {
    SCOPED_TRACE(limit);
    Memory m;
    m.limit = limit;
    app::PdfWriter doc{};
    app::PdfStatus last = app::PdfBegin(&doc, {&m, toMemory}, nullptr, 0);
    for (int i = 0; i < 2 && last == app::PdfStatus::kOk; ++i)
      last = app::PdfAddBmpPage(&doc, page.data(), page.size());
    if (last == app::PdfStatus::kOk) last = app::PdfFinish(&doc);
    EXPECT_EQ(last, app::PdfStatus::kWriteFailed);
    EXPECT_EQ(app::PdfFinish(&doc), app::PdfStatus::kWriteFailed);
    EXPECT_TRUE(m.refused);
    EXPECT_EQ(m.callsAfterRefusal, 0);
  }
}

TEST(PdfWriter, ADocumentWithoutPagesIsNotFinished) {
  Memory m;
  app::PdfWriter w{};
  ASSERT_EQ(app::PdfBegin(&w, {&m, toMemory}, nullptr, 0), app::PdfStatus::kOk);
  EXPECT_EQ(app::PdfFinish(&w), app::PdfStatus::kNoPages);
}

TEST(PdfWriter, OutOfMemoryFailsTheDocumentInsteadOfThrowing) {
  const Bytes page = bmp(3, 2, kWide);
  bool failedIn[3] = {};   // begin, a page, the finish
  for (long from = 0;; ++from) {
    SCOPED_TRACE(from);
    Memory m;
    m.bytes.reserve(1 << 16);
    app::PdfStatus got[4];
    gAllocations = 0;
    gFailFrom = from;
    {
      app::PdfWriter w{};
      got[0] = app::PdfBegin(&w, {&m, toMemory}, reinterpret_cast<const uint16_t*>(u"t"), 1);
      got[1] = app::PdfAddBmpPage(&w, page.data(), page.size());
      got[2] = app::PdfAddBmpPage(&w, page.data(), page.size());
      got[3] = app::PdfFinish(&w);
      gFailFrom = -1;
    }
    int first = 0;
    while (first < 4 && got[first] == app::PdfStatus::kOk) ++first;
    if (first == 4) {
      EXPECT_EQ(m.bytes, written({page, page}, u"t").bytes);
      break;
    }
    EXPECT_EQ(got[first], app::PdfStatus::kNoMemory);
    for (int k = first + 1; k < 4; ++k) EXPECT_NE(got[k], app::PdfStatus::kOk) << k;
    failedIn[first == 0 ? 0 : first == 3 ? 2 : 1] = true;
    ASSERT_LT(from, 10000);
  }
  EXPECT_TRUE(failedIn[0] && failedIn[1] && failedIn[2]);
}

}  // namespace
