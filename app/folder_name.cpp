#include "app/folder_name.h"
#include <cstring>
#include "runtime/gbk.h"

namespace app {

namespace {

bool isRefused(unsigned char c) { return c < 0x20 || strchr("<>:\"/\\|?*", c) != nullptr; }
bool isSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Whether the name's part before its first dot, trailing spaces aside, is
// a device's; *end is where that part's letters end.
bool isDeviceName(const char* name, size_t* end) {
  size_t n = strcspn(name, ".");
  while (n > 0 && name[n - 1] == ' ') --n;
  char base[5] = {};
  if (n < 3 || n > 4) return false;
  for (size_t i = 0; i < n; ++i) base[i] = upper(name[i]);
  *end = n;
  if (n == 3) return !strcmp(base, "CON") || !strcmp(base, "PRN") || !strcmp(base, "AUX") ||
                     !strcmp(base, "NUL");
  return (!strncmp(base, "COM", 3) || !strncmp(base, "LPT", 3)) && base[3] >= '1' &&
         base[3] <= '9';
}

}  // namespace

void MakeFolderNameSafe(char* name) {
  if (!name) return;
  auto* s = reinterpret_cast<unsigned char*>(name);
  size_t n = 0;
  while (s[n] != 0) {
    // A lead byte without a proper second byte is no pair: the byte after
    // it is looked at on its own, so a "/" there cannot slip through.
    if (rt::isGbkLeadByte(s[n]) && rt::isGbkTrailByte(s[n + 1])) {
      n += 2;
      continue;
    }
    if (isRefused(s[n])) s[n] = '_';
    ++n;
  }
  // Second bytes are never dots or spaces, so the end can be walked back.
  while (n > 0 && (s[n - 1] == '.' || s[n - 1] == ' ')) s[--n] = '_';
  size_t end;
  if (isDeviceName(name, &end)) name[end - 1] = '_';
}

void TrimTitle(char* text) {
  if (!text) return;
  auto* s = reinterpret_cast<unsigned char*>(text);
  size_t n = strlen(text);
  // Second bytes are never spaces or controls, so the end can be walked back.
  while (n > 0 && isSpace(s[n - 1])) --n;
  size_t start = 0;
  while (start < n && isSpace(s[start])) ++start;
  memmove(text, text + start, n - start);
  text[n - start] = 0;
}

void CutToChars(char* text, size_t n) {
  if (text) text[rt::gbkCutLength(text, n)] = 0;
}

}  // namespace app
