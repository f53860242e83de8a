// GBK text, the runtime's text everywhere: which bytes lead a two-byte
// character, and (Windows only) the conversions to and from the UTF-16 of
// the W functions, always through code page 936 whatever the process's
// ANSI code page is.
#pragma once
#include <string>
#include <string_view>

namespace rt {

// Bytes 0x81-0xFE start a two-byte character; every other byte stands alone.
inline bool isGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

#ifdef _WIN32
// Empty for empty input or bytes code page 936 cannot convert at all.
std::wstring gbkToWide(std::string_view gbk);
// Characters GBK lacks become "?".
std::string wideToGbk(std::wstring_view wide);
#endif

}  // namespace rt
