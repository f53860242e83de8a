#include "app/folder_name.h"
#include <cstring>
#include "runtime/gbk.h"

namespace app {

namespace {

bool isTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
bool isRefused(unsigned char c) { return c < 0x20 || strchr("<>:\"/\\|?*", c) != nullptr; }

}  // namespace

void MakeFolderNameSafe(char* name) {
  if (!name) return;
  auto* s = reinterpret_cast<unsigned char*>(name);
  size_t n = 0;
  while (s[n] != 0) {
    // A lead byte without a proper second byte is no pair: the byte after
    // it is looked at on its own, so a "/" there cannot slip through.
    if (rt::isGbkLeadByte(s[n]) && isTrail(s[n + 1])) {
      n += 2;
      continue;
    }
    if (isRefused(s[n])) s[n] = '_';
    ++n;
  }
  // Second bytes are never dots or spaces, so the end can be walked back.
  while (n > 0 && (s[n - 1] == '.' || s[n - 1] == ' ')) s[--n] = '_';
}

}  // namespace app
