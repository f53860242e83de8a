#include <windows.h>

#include "browser/text_win.h"
#include "browser/utf8.h"

namespace web {

std::wstring toWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  int n = MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), out.data(), n);
  return out;
}

std::string toGbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string utf8ToGbk(std::string_view utf8) {
  const std::u16string wide = utf8ToUtf16(utf8);
  return toGbk(std::wstring_view(reinterpret_cast<const wchar_t*>(wide.data()), wide.size()));
}

}  // namespace web
