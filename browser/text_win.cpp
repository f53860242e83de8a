#include "browser/text_win.h"
#include "browser/utf8.h"
#include "runtime/gbk.h"

namespace web {

std::string utf8ToGbk(std::string_view utf8) {
  const std::u16string wide = utf8ToUtf16(utf8);
  return rt::wideToGbk(std::wstring_view(reinterpret_cast<const wchar_t*>(wide.data()), wide.size()));
}

}  // namespace web
