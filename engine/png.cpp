#include "engine/png.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace engine {
namespace {

const char kSignature[] = "\x89PNG\r\n\x1a\n";

uint32_t be32(const unsigned char* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Walks the chunks: calls f(type, data) for each; false when they run past the end.
template <class F>
bool chunks(std::string_view png, F f) {
  if (png.size() < 8 || png.compare(0, 8, std::string_view(kSignature, 8)) != 0) return false;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    auto* p = reinterpret_cast<const unsigned char*>(png.data() + at);
    uint32_t n = be32(p);
    if (n > png.size() - at - 12) return false;
    std::string_view type(png.data() + at + 4, 4);
    if (!f(type, std::string_view(png.data() + at + 8, n))) return true;
    at += 12 + size_t(n);
  }
  return false;
}

struct Header {
  uint32_t width = 0, height = 0;
  int channels = 0;  // 3 or 4
};

bool readHeader(std::string_view png, Header& h) {
  bool seen = false;
  chunks(png, [&](std::string_view type, std::string_view d) {
    auto* p = reinterpret_cast<const unsigned char*>(d.data());
    // Depth 8, RGB (2) or RGBA (6), deflate, standard filters, no interlace.
    if (type == "IHDR" && d.size() == 13 && p[8] == 8 && (p[9] == 2 || p[9] == 6) && !p[10] && !p[11] && !p[12]) {
      h.width = be32(p);
      h.height = be32(p + 4);
      h.channels = p[9] == 6 ? 4 : 3;
      seen = h.width && h.height && h.width <= 16384 && h.height <= 16384;
    }
    return false;  // the header is the first chunk
  });
  return seen;
}

int paeth(int a, int b, int c) {
  int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes one row's filter in place against the row above (zeros for the first).
bool unfilter(int filter, unsigned char* row, const unsigned char* up, size_t n, int bpp) {
  switch (filter) {
    case 0: return true;
    case 1: for (size_t i = size_t(bpp); i < n; ++i) row[i] = uint8_t(row[i] + row[i - bpp]); return true;
    case 2: for (size_t i = 0; i < n; ++i) row[i] = uint8_t(row[i] + up[i]); return true;
    case 3:
      for (size_t i = 0; i < n; ++i)
        row[i] = uint8_t(row[i] + ((i >= size_t(bpp) ? row[i - bpp] : 0) + up[i]) / 2);
      return true;
    case 4:
      for (size_t i = 0; i < n; ++i) {
        int a = i >= size_t(bpp) ? row[i - bpp] : 0, c = i >= size_t(bpp) ? up[i - bpp] : 0;
        row[i] = uint8_t(row[i] + paeth(a, up[i], c));
      }
      return true;
    default: return false;
  }
}

}  // namespace

bool pngSize(std::string_view png, uint32_t& width, uint32_t& height) {
  Header h;
  if (!readHeader(png, h)) return false;
  width = h.width;
  height = h.height;
  return true;
}

bool decodePng(std::string_view png, uint8_t* out, size_t stride) {
  Header h;
  if (!readHeader(png, h)) return false;
  const size_t rowBytes = size_t(h.width) * h.channels;
  // Two rows of filtered bytes, each behind its filter byte.
  std::vector<unsigned char> rows(2 * (rowBytes + 1), 0);
  unsigned char* cur = rows.data();
  unsigned char* prev = rows.data() + rowBytes + 1;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  uint32_t y = 0;
  int rc = Z_OK;
  bool ok = true;
  unsigned char spare[16];  // after the last row: only the stream's end may follow
  z.next_out = cur;
  z.avail_out = uInt(rowBytes + 1);
  chunks(png, [&](std::string_view type, std::string_view d) {
    if (type == "IEND") return false;
    if (type != "IDAT") return true;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(d.data()));
    z.avail_in = uInt(d.size());
    while (ok && z.avail_in && rc != Z_STREAM_END) {
      rc = inflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END) { ok = false; break; }
      if (y == h.height) { ok = z.avail_out == sizeof spare; continue; }
      if (z.avail_out) continue;
      // A whole row: unfilter it and write it out as BGRA.
      if (!unfilter(cur[0], cur + 1, prev + 1, rowBytes, h.channels)) { ok = false; break; }
      uint8_t* o = out + size_t(y) * stride;
      const unsigned char* s = cur + 1;
      if (h.channels == 4) {
        for (uint32_t x = 0; x < h.width; ++x, s += 4, o += 4) { o[0] = s[2]; o[1] = s[1]; o[2] = s[0]; o[3] = s[3]; }
      } else {
        for (uint32_t x = 0; x < h.width; ++x, s += 3, o += 4) { o[0] = s[2]; o[1] = s[1]; o[2] = s[0]; o[3] = 255; }
      }
      std::swap(cur, prev);
      z.next_out = ++y == h.height ? spare : cur;
      z.avail_out = uInt(y == h.height ? sizeof spare : rowBytes + 1);
    }
    return ok && rc != Z_STREAM_END;
  });
  inflateEnd(&z);
  return ok && y == h.height && rc == Z_STREAM_END;
}

}  // namespace engine
