// The browser view's property data in the form description (little-endian):
// version word, disable F5, disable cookies, four zero-terminated GBK texts
// (start address, local storage path, cookie path, user agent), allow new
// windows. Neutral so host tools can write form descriptions with it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/byte_io.h"

namespace web {

constexpr uint32_t kViewDataVersion = 0x0C060701;

struct ViewProperties {
  int32_t disableF5 = 0;
  int32_t disableCookies = 0;
  std::string url;
  std::string localStoragePath;
  std::string cookiePath;
  std::string userAgent;        // always the full text, never a preset name
  int32_t allowNewWindows = 0;
};

// Exactly 20 bytes plus the lengths of the four texts.
std::vector<uint8_t> writeViewProperties(const ViewProperties& p);

// Reads a block. kNewerVersion for a version above kViewDataVersion (nothing
// read); kTruncated for a short or unterminated block (the fields after the
// cut are 0 or empty).
rt::ReadStatus readViewProperties(const uint8_t* data, size_t size, ViewProperties* out);

// Relative paths (no "X:\" start) go under `runDir`; the result ends in "\".
// Works on UTF-16 text, where a backslash cannot be half of a GBK character.
template <class Char>
std::basic_string<Char> fullPath(std::basic_string_view<Char> runDir,
                                 std::basic_string_view<Char> path) {
  bool absolute = path.size() >= 3 && path[1] == Char(':') && path[2] == Char('\\');
  std::basic_string<Char> out(absolute ? path : runDir);
  if (!absolute) out += path;
  if (out.empty() || out.back() != Char('\\')) out += Char('\\');
  return out;
}

}  // namespace web
