// The edit box's live object and what its files share: the control, its
// properties and input (edit_box_win) and its spin control (edit_spin_win).
#pragma once
#include "components/component_win.h"

namespace comp {

struct EditBox {
  rt::LiveObject base;          // first: the runtime sees a LiveObject
  EditBoxProps props;
  HBRUSH brush = nullptr;       // from the back colour
  HFONT font = nullptr;         // created from props.font; null = GUI font
  HWND upDown = nullptr;
  bool settingText = false;     // the runtime itself is changing the text
  Bytes readBuffer;             // keeps texts handed out by operation 6
};

inline HWND hwndOf(const EditBox* e) { return static_cast<HWND>(e->base.hwnd); }

// Creates the up-down control beside a single-line box; without one the
// up-down type becomes 0.
void createUpDown(EditBox* e, HWND parent, uint32_t controlId);
// A static edge for borders 0, 1 and 3, as the box's border changes.
void setUpDownEdge(EditBox* e);
// The box's own shows, hides and enables carry over to its up-down control.
void followEditBox(EditBox* e, UINT msg, WPARAM wp, LPARAM lp);
void destroyUpDown(EditBox* e);

}  // namespace comp
