// UTF-8 -> UTF-16 for the page texts the engine hands back. Our own decoder,
// not the system's, so a page's bytes turn out the same on every Windows.
#pragma once
#include <string>
#include <string_view>

namespace web {

// Each ill-formed piece becomes one U+FFFD: a lead byte with as many of its
// continuation bytes as could still be valid, or a single stray byte.
// Overlong forms, surrogates and values past U+10FFFF are ill-formed.
std::u16string utf8ToUtf16(std::string_view utf8);

}  // namespace web
