// The window component's live object and the functions its files share:
// window procedure and creation (window_win), frame (window_frame_win), look
// (window_look_win), music (window_music_win), focus (window_focus_win),
// properties (window_properties_win) and keyboard (window_keys_win).
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
  bool live = false;            // creation finished; until then create() owns it
};

inline HWND hwndOf(const WindowObject* w) { return static_cast<HWND>(w->base.hwnd); }

// Frame styles for the border, caption and box properties.
void frameStyles(const WindowProps& p, DWORD* style, DWORD* ex);
// Re-applies the frame styles to the live window.
void recomputeFrame(WindowObject* w);
void applyShape(WindowObject* w);
void setMovable(WindowObject* w);
void setTopmost(WindowObject* w);
// Shows a visible window as the position property asks.
void applyPosition(WindowObject* w);

void releaseIcons(WindowObject* w);
// Icons from property 20, or the runtime's defaults without a usable one.
void loadIcons(WindowObject* w);
void loadPicture(WindowObject* w);
void paintBackground(WindowObject* w, HDC dc);

void startMusic(WindowObject* w);
void stopMusic(WindowObject* w);

// The runtime's hidden owner window of this process, or null.
HWND hiddenOwner();
// Shows the window after loading as its position property asks.
void showLoaded(WindowObject* w);

// WM_SETFOCUS: event -7, then focus to the last focused or the best child.
void windowSetFocus(WindowObject* w);
// WM_ACTIVATE: events 8 (first time), 5 and 6.
void windowActivate(WindowObject* w, bool active);

int32_t RT_CALL windowPropertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
                                      const char** errorText);
int32_t RT_CALL windowGetPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out);
uint8_t* RT_CALL windowGetAllPropertyData(rt::LiveObject* obj, uint32_t* size);
const uint8_t* RT_CALL windowIconData(rt::LiveObject* obj, uint32_t* size);
void RT_CALL windowPropertyTexts(rt::LiveObject* obj, PropertyTextFn fn, void* ctx);

// Keyboard and mouse pre-translation of the window and its children.
int32_t RT_CALL windowPreTranslate(rt::LiveObject* self, void* msg);
// The help file: property 24, or the program's name with extension "hlp".
std::wstring helpFilePath(const WindowObject* w);
// Moves the focus like Tab (backwards with shift).
void moveFocus(WindowObject* w, HWND from, bool backwards);

}  // namespace comp
