#include <windows.h>
#include "runtime/gbk.h"

namespace rt {

std::wstring gbkToWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int n = MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), out.data(), n);
  return out;
}

std::string wideToGbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n =
      WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(936, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace rt
