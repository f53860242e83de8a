// The application's text routines. They cut the page count and the title
// out of a page source, counting GBK characters.
#pragma once
#include <cstdint>

namespace app {

// Text between the first left delimiter (searched from start, 1-based) and
// the next right delimiter; null (empty) when either is missing. "#引号" in
// a delimiter stands for a double quote. Result owned by the caller.
char* TextBetween(const char* text, const char* left, const char* right,
                  int32_t start = 0, bool caseInsensitive = false);
// The first n characters; empty when n < 1 or n exceeds the byte length.
char* LeftChars(const char* text, int32_t n);
// Bytes of the first n characters (rt::gbkCutLength), -1 when n < 0 or n
// exceeds the byte length.
int32_t CharBytes(const char* text, int32_t n);
// 1 or 2, the width of the character starting at byte position pos
// (from 1); -1 past the end.
int32_t CharWidthAt(const char* text, int32_t pos);

}  // namespace app
