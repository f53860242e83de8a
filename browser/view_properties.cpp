#include "browser/view_properties.h"

#include <cstring>

namespace web {
namespace {

void putWord(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void putText(std::vector<uint8_t>& out, const std::string& s) {
  out.insert(out.end(), s.begin(), s.end());
  out.push_back(0);
}

struct Reader {
  const uint8_t* p;
  size_t left;

  bool word(int32_t* v) {
    if (left < 4) return false;
    *v = int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                 uint32_t(p[3]) << 24);
    p += 4;
    left -= 4;
    return true;
  }

  bool text(std::string* s) {
    const void* end = std::memchr(p, 0, left);
    if (!end) return false;
    size_t n = size_t(static_cast<const uint8_t*>(end) - p);
    s->assign(reinterpret_cast<const char*>(p), n);
    p += n + 1;
    left -= n + 1;
    return true;
  }
};

}  // namespace

std::vector<uint8_t> writeViewProperties(const ViewProperties& p) {
  std::vector<uint8_t> out;
  putWord(out, kViewDataVersion);
  putWord(out, uint32_t(p.disableF5));
  putWord(out, uint32_t(p.disableCookies));
  putText(out, p.url);
  putText(out, p.localStoragePath);
  putText(out, p.cookiePath);
  putText(out, p.userAgent);
  putWord(out, uint32_t(p.allowNewWindows));
  return out;
}

bool readViewProperties(const uint8_t* data, size_t size, ViewProperties* out) {
  if (!data) return false;
  Reader r{data, size};
  int32_t version = 0;
  return r.word(&version) && r.word(&out->disableF5) && r.word(&out->disableCookies) &&
         r.text(&out->url) && r.text(&out->localStoragePath) && r.text(&out->cookiePath) &&
         r.text(&out->userAgent) && r.word(&out->allowNewWindows);
}

}  // namespace web
