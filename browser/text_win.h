// GBK <-> UTF-16 conversions (code page 936) for the browser library.
#pragma once
#include <string>
#include <string_view>

namespace web {

std::wstring toWide(std::string_view gbk);
std::string toGbk(std::wstring_view wide);
// UTF-8 -> UTF-16 -> GBK; characters GBK lacks become "?".
std::string utf8ToGbk(std::string_view utf8);

}  // namespace web
