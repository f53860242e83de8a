#include "engine/clipboard_win.h"

#include <cstring>

#include "engine/editing.h"
#include "engine/wide_win.h"

namespace engine {
namespace {

// Another program may hold the clipboard for a moment.
bool openClipboard(HWND owner) {
  for (int i = 0; i < 10; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

bool putClipboardText(HWND owner, const std::string& text) {
  std::wstring w = toUtf16(toClipboardLines(text));
  if (!openClipboard(owner)) return false;
  EmptyClipboard();
  size_t bytes = (w.size() + 1) * sizeof(wchar_t);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
  void* p = mem ? GlobalLock(mem) : nullptr;
  bool ok = false;
  if (p) {
    std::memcpy(p, w.c_str(), bytes);
    GlobalUnlock(mem);
    ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
  }
  if (!ok && mem) GlobalFree(mem);  // the clipboard owns it only once set
  CloseClipboard();
  return ok;
}

std::string clipboardText(HWND owner) {
  if (!clipboardHasText() || !openClipboard(owner)) return {};
  std::string text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
    // Bounded by the block: a program may have put text without its end.
    size_t max = GlobalSize(h) / sizeof(wchar_t);
    if (p) text = fromClipboardLines(toUtf8(std::wstring(p, wcsnlen(p, max)).c_str()));
    if (p) GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

bool clipboardHasText() { return IsClipboardFormatAvailable(CF_UNICODETEXT); }

}  // namespace engine
