// Windows key and character messages as the page's keyboard events see them.
#pragma once
#include <string>

namespace engine {

// Modifier bits of page input events.
enum : int { kModAlt = 1, kModCtrl = 2, kModMeta = 4, kModShift = 8 };

struct KeyName {
  std::string key;   // DOM key: "a", "A", "Enter", "ArrowLeft"; "Unidentified" when unknown
  std::string code;  // DOM code: "KeyA", "Enter", "NumpadEnter"; "" when unknown
  int location = 0;  // 0 standard, 1 left, 2 right, 3 numpad
};

// The key a virtual key stands for on a US layout. scanCode and extended
// (bits 16-24 of the message's lParam) tell left from right and the
// keypad's keys from the main block's.
KeyName nameKey(int vk, int scanCode, bool extended, int modifiers);

// The editing command a browser runs for a Ctrl shortcut ("selectAll",
// "copy", "paste", "cut", "undo", "redo"), or "" for any other key.
const char* shortcutCommand(int vk, int modifiers);

// Joins UTF-16 units as character messages bring them: a high surrogate
// waits for its low one. Returns the UTF-8 text ready to send, "" while
// waiting; a unit that cannot pair becomes U+FFFD.
class Utf16Joiner {
 public:
  std::string push(unsigned unit);

 private:
  unsigned high_ = 0;
};

// UTF-8 for a UTF-16 string; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(const std::u16string& s);

// The system cursor (an IDC_ number) for a CSS cursor keyword the page reports.
int cursorId(const std::string& css);

}  // namespace engine
