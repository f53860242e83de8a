#include <windows.h>

#include "browser/text_win.h"

namespace web {
namespace {

std::wstring decode(UINT codePage, std::string_view s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(codePage, 0, s.data(), int(s.size()), out.data(), n);
  return out;
}

}  // namespace

std::wstring toWide(std::string_view gbk) { return decode(936, gbk); }

std::string toGbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string utf8ToGbk(std::string_view utf8) { return toGbk(decode(CP_UTF8, utf8)); }

}  // namespace web
