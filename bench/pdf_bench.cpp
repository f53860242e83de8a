// The paper's PDF: time to write N pages the size of a capture (default 50
// pages of 1866 x 930), from BMP file images in memory to a file on disk,
// for text-like pages and for noise, the worst case for compression. The
// run adds each page inside the 1111 ms wait after its picture is saved, so
// a page's cost must stay well inside that wait; only the end (cross-
// reference table and rename) adds to the run's time.
//   pdf_bench [pages] [width] [height] [output.pdf]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include "app/pdf_writer.h"
#include "browser/bmp_image.h"

namespace {

// White paper with a coloured band and lines of "text": glyphs drawn from a
// set of 64, each a 10 x 16 pattern of anti-aliased greys, as screen text
// is; different on every page. Or noise.
std::vector<uint8_t> page(int32_t w, int32_t h, uint32_t seed, bool noise) {
  std::vector<uint8_t> b(web::bmpFileSize(w, h, 32), 0xFF);
  web::writeBmpHeader(b.data(), w, h, 32);
  uint32_t x = seed * 2654435761u + 1;
  auto next = [&] { return (x = x * 1103515245u + 12345u) >> 16; };
  uint8_t* px = b.data() + web::kBmpHeaderSize;
  if (noise) {
    for (size_t i = 0; i < size_t(w) * h * 4; ++i) px[i] = uint8_t(next());
    return b;
  }
  static const uint8_t kGreys[] = {255, 255, 255, 230, 160, 90, 30, 0};
  std::vector<uint8_t> glyphs(64 * 16 * 10);
  for (uint8_t& g : glyphs) g = kGreys[next() % 8];
  for (int32_t y = 40; y < 120 && y < h; ++y)
    for (int32_t c = 0; c < w; ++c) {
      uint8_t* p = px + (size_t(y) * w + c) * 4;
      p[0] = uint8_t(seed * 40), p[1] = uint8_t(seed * 90), p[2] = 200;
    }
  for (int32_t line = 160; line + 16 < h; line += 28)
    for (int32_t c = 60; c + 12 < w - 60; c += 12) {
      if (next() % 6 == 0) continue;   // a space
      const uint8_t* g = glyphs.data() + (next() % 64) * 160;
      for (int32_t y = 0; y < 16; ++y)
        for (int32_t k = 0; k < 10; ++k) {
          uint8_t* p = px + (size_t(line + y) * w + c + k) * 4;
          p[0] = p[1] = p[2] = g[y * 10 + k];
        }
    }
  return b;
}

bool toFile(void* context, const uint8_t* data, size_t size) {
  return fwrite(data, 1, size, static_cast<FILE*>(context)) == size;
}

void run(const char* what, int pages, int32_t w, int32_t h, bool noise, const char* path) {
  std::vector<std::vector<uint8_t>> pictures;
  // A handful of distinct pages, reused: the writer sees one at a time.
  for (int i = 0; i < 4; ++i) pictures.push_back(page(w, h, uint32_t(i + 1), noise));
  FILE* f = fopen(path, "wb");
  if (!f) {
    printf("cannot open %s\n", path);
    exit(1);
  }
  const auto start = std::chrono::steady_clock::now();
  app::PdfWriter writer{};
  app::PdfStatus s = app::PdfBegin(&writer, {f, toFile}, nullptr, 0);
  for (int i = 0; i < pages && s == app::PdfStatus::kOk; ++i) {
    const std::vector<uint8_t>& p = pictures[size_t(i) % pictures.size()];
    s = app::PdfAddBmpPage(&writer, p.data(), p.size());
  }
  if (s == app::PdfStatus::kOk) s = app::PdfFinish(&writer);
  const bool closed = fclose(f) == 0;
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (s != app::PdfStatus::kOk || !closed) {
    printf("%s: writing failed\n", what);
    exit(1);
  }
  const double bmpMb = pages * double(pictures[0].size()) / 1e6;
  FILE* done = fopen(path, "rb");
  fseek(done, 0, SEEK_END);
  const double pdfMb = double(ftell(done)) / 1e6;
  fclose(done);
  printf("%s: %d pages of %dx%d (%.1f MB of BMP) -> %.2f MB PDF in %.0f ms\n", what, pages, w,
         h, bmpMb, pdfMb, ms);
  printf("  %.1f ms a page: %.0f%% of the 1111 ms wait it runs in\n", ms / pages,
         ms / pages / 11.11);
}

}  // namespace

int main(int argc, char** argv) {
  const int pages = argc > 1 ? atoi(argv[1]) : 50;
  const int32_t w = argc > 2 ? atoi(argv[2]) : 1866, h = argc > 3 ? atoi(argv[3]) : 930;
  const char* path = argc > 4 ? argv[4] : "pdf_bench.pdf";
  if (web::bmpFileSize(w, h, 32) == 0) {
    fprintf(stderr, "no BMP file image of %d x %d\n", w, h);
    return 2;
  }
  run("text-like pages", pages, w, h, false, path);
  run("noise pages (worst case)", 5, w, h, true, path);
  return 0;
}
