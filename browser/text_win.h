// UTF-8 script results to the runtime's GBK text.
#pragma once
#include <string>
#include <string_view>

namespace web {

// UTF-8 -> UTF-16 -> GBK; characters GBK lacks become "?".
std::string utf8ToGbk(std::string_view utf8);

}  // namespace web
