// The window component's live object, shared by its creation/property code
// and its keyboard handling.
#pragma once
#include "components/component_win.h"
#include "components/picture_win.h"

namespace comp {

struct WindowObject {
  rt::LiveObject base;          // first: the runtime sees a LiveObject
  WindowProps props;
  HICON bigIcon = nullptr, smallIcon = nullptr;
  bool ownIcons = false;        // false: the runtime's default icons
  Picture picture;              // decoded background picture
  bool activatedOnce = false;
  bool inActivation = false;    // nested activation changes raise nothing
  HWND lastFocus = nullptr;     // child focused at the last deactivation
  bool helpOpened = false;
};

// Keyboard and mouse pre-translation of the window and its children.
int32_t RT_CALL windowPreTranslate(rt::LiveObject* self, void* msg);
// The help file: property 24, or the program's name with extension "hlp".
std::wstring helpFilePath(const WindowObject* w);
// Moves the focus like Tab (backwards with shift).
void moveFocus(WindowObject* w, HWND from, bool backwards);

}  // namespace comp
