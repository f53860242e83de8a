#include "engine/keys.h"

#include <cstring>

namespace engine {
namespace {

struct KeyRow {
  int vk;
  const char* key;
  const char* code;
  int location;
};

// Keys whose name does not depend on Shift.
const KeyRow kNamed[] = {
    {0x08, "Backspace", "Backspace", 0}, {0x09, "Tab", "Tab", 0},
    {0x0C, "Clear", "NumpadEqual", 3}, {0x0D, "Enter", "Enter", 0},
    {0x13, "Pause", "Pause", 0}, {0x14, "CapsLock", "CapsLock", 0},
    {0x1B, "Escape", "Escape", 0}, {0x20, " ", "Space", 0},
    {0x21, "PageUp", "PageUp", 0}, {0x22, "PageDown", "PageDown", 0},
    {0x23, "End", "End", 0}, {0x24, "Home", "Home", 0},
    {0x25, "ArrowLeft", "ArrowLeft", 0}, {0x26, "ArrowUp", "ArrowUp", 0},
    {0x27, "ArrowRight", "ArrowRight", 0}, {0x28, "ArrowDown", "ArrowDown", 0},
    {0x2C, "PrintScreen", "PrintScreen", 0}, {0x2D, "Insert", "Insert", 0},
    {0x2E, "Delete", "Delete", 0}, {0x5B, "Meta", "MetaLeft", 1},
    {0x5C, "Meta", "MetaRight", 2}, {0x5D, "ContextMenu", "ContextMenu", 0},
    {0x6A, "*", "NumpadMultiply", 3}, {0x6B, "+", "NumpadAdd", 3},
    {0x6D, "-", "NumpadSubtract", 3}, {0x6E, ".", "NumpadDecimal", 3},
    {0x6F, "/", "NumpadDivide", 3}, {0x90, "NumLock", "NumLock", 0},
    {0x91, "ScrollLock", "ScrollLock", 0}, {0xA0, "Shift", "ShiftLeft", 1},
    {0xA1, "Shift", "ShiftRight", 2}, {0xA2, "Control", "ControlLeft", 1},
    {0xA3, "Control", "ControlRight", 2}, {0xA4, "Alt", "AltLeft", 1},
    {0xA5, "Alt", "AltRight", 2}, {0xE5, "Process", "", 0},
};

// The keypad's keys with Num Lock off send the navigation keys, without the
// extended flag.
const KeyRow kKeypadNavigation[] = {
    {0x21, "PageUp", "Numpad9", 3}, {0x22, "PageDown", "Numpad3", 3},
    {0x23, "End", "Numpad1", 3}, {0x24, "Home", "Numpad7", 3},
    {0x25, "ArrowLeft", "Numpad4", 3}, {0x26, "ArrowUp", "Numpad8", 3},
    {0x27, "ArrowRight", "Numpad6", 3}, {0x28, "ArrowDown", "Numpad2", 3},
    {0x2D, "Insert", "Numpad0", 3}, {0x2E, "Delete", "NumpadDecimal", 3},
};

struct PunctRow {
  int vk;
  char plain, shifted;
  const char* code;
};

const PunctRow kPunct[] = {
    {0xBA, ';', ':', "Semicolon"}, {0xBB, '=', '+', "Equal"},     {0xBC, ',', '<', "Comma"},
    {0xBD, '-', '_', "Minus"},     {0xBE, '.', '>', "Period"},    {0xBF, '/', '?', "Slash"},
    {0xC0, '`', '~', "Backquote"}, {0xDB, '[', '{', "BracketLeft"}, {0xDC, '\\', '|', "Backslash"},
    {0xDD, ']', '}', "BracketRight"}, {0xDE, '\'', '"', "Quote"},
};

const char kShiftedDigits[] = ")!@#$%^&*(";

const int kScanRightShift = 0x36;

void append(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool isHigh(unsigned u) { return u >= 0xD800 && u < 0xDC00; }
bool isLow(unsigned u) { return u >= 0xDC00 && u < 0xE000; }
const unsigned kReplacement = 0xFFFD;

}  // namespace

KeyName nameKey(int vk, int scanCode, bool extended, int modifiers) {
  bool shift = (modifiers & kModShift) != 0;
  // Shift, Ctrl and Alt come as one key each; the side is in the scan code
  // or the extended flag.
  if (vk == 0x10) vk = scanCode == kScanRightShift ? 0xA1 : 0xA0;
  else if (vk == 0x11) vk = extended ? 0xA3 : 0xA2;
  else if (vk == 0x12) vk = extended ? 0xA5 : 0xA4;
  KeyName k;
  auto take = [&k](const KeyRow& r) {
    k.key = r.key;
    k.code = r.code;
    k.location = r.location;
  };
  if (vk >= 'A' && vk <= 'Z') {
    k.key = std::string(1, static_cast<char>(shift ? vk : vk - 'A' + 'a'));
    k.code = std::string("Key") + static_cast<char>(vk);
  } else if (vk >= '0' && vk <= '9') {
    k.key = std::string(1, shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk));
    k.code = std::string("Digit") + static_cast<char>(vk);
  } else if (vk >= 0x60 && vk <= 0x69) {
    k.key = std::string(1, static_cast<char>('0' + vk - 0x60));
    k.code = "Numpad" + k.key;
    k.location = 3;
  } else if (vk >= 0x70 && vk <= 0x87) {
    k.key = k.code = "F" + std::to_string(vk - 0x6F);
  } else {
    if (!extended)
      for (const KeyRow& r : kKeypadNavigation)
        if (r.vk == vk) { take(r); return k; }
    for (const KeyRow& r : kNamed)
      if (r.vk == vk) { take(r); break; }
    for (const PunctRow& r : kPunct)
      if (r.vk == vk) {
        k.key = std::string(1, shift ? r.shifted : r.plain);
        k.code = r.code;
      }
    if (vk == 0x0D && extended) {
      k.code = "NumpadEnter";
      k.location = 3;
    }
  }
  if (k.key.empty()) k.key = "Unidentified";
  return k;
}

const char* shortcutCommand(int vk, int modifiers) {
  bool ctrl = modifiers & kModCtrl, shift = modifiers & kModShift;
  if (modifiers & (kModAlt | kModMeta)) return "";
  if (ctrl && !shift) {
    switch (vk) {
      case 'A': return "selectAll";
      case 'C': case 0x2D: return "copy";
      case 'V': return "paste";
      case 'X': return "cut";
      case 'Z': return "undo";
      case 'Y': return "redo";
    }
  }
  if (ctrl && shift && vk == 'Z') return "redo";
  if (shift && !ctrl && vk == 0x2D) return "paste";
  if (shift && !ctrl && vk == 0x2E) return "cut";
  return "";
}

std::string Utf16Joiner::push(unsigned unit) {
  std::string out;
  unit &= 0xFFFF;
  if (high_ && isLow(unit)) {
    append(out, 0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
    high_ = 0;
    return out;
  }
  if (high_) append(out, kReplacement);  // a high one left without its pair
  high_ = 0;
  if (isHigh(unit)) high_ = unit;
  else append(out, isLow(unit) ? kReplacement : unit);
  return out;
}

std::string utf16ToUtf8(const std::u16string& s) {
  Utf16Joiner j;
  std::string out;
  for (char16_t u : s) out += j.push(u);
  if (!s.empty() && isHigh(s.back())) append(out, kReplacement);
  return out;
}

int cursorId(const std::string& css) {
  struct Row {
    const char* names;  // space-separated keywords
    int id;
  };
  static const Row rows[] = {
      {"pointer grab grabbing alias", 32649},
      {"text vertical-text", 32513},
      {"wait", 32514},
      {"progress", 32650},
      {"crosshair cell", 32515},
      {"move all-scroll", 32646},
      {"not-allowed no-drop", 32648},
      {"help context-menu", 32651},
      {"ew-resize e-resize w-resize col-resize", 32644},
      {"ns-resize n-resize s-resize row-resize", 32645},
      {"nwse-resize nw-resize se-resize", 32642},
      {"nesw-resize ne-resize sw-resize", 32643},
      {"none", 0},
  };
  for (const Row& r : rows) {
    const char* p = r.names;
    while (*p) {
      size_t n = std::strcspn(p, " ");
      if (css.size() == n && css.compare(0, n, p, n) == 0) return r.id;
      p += n;
      while (*p == ' ') ++p;
    }
  }
  return 32512;  // the arrow
}

}  // namespace engine
