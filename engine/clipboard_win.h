// The Windows clipboard's Unicode text, as UTF-8 with the page's line ends.
#pragma once
#include <windows.h>

#include <string>

namespace engine {

// Puts text on the clipboard for owner; false when the clipboard is busy.
bool putClipboardText(HWND owner, const std::string& text);
// The clipboard's text, or "" when it holds none.
std::string clipboardText(HWND owner);
bool clipboardHasText();

}  // namespace engine
