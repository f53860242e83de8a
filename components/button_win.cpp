#include "components/component_win.h"
#include "components/picture_win.h"

namespace comp {
namespace {

struct Button {
  rt::LiveObject base;          // first: the runtime sees a LiveObject
  ButtonProps props;
  HFONT font = nullptr;         // created from props.font; null = GUI font
  Picture picture;
  HICON icon = nullptr;         // for icon-kind pictures
};

HWND hwndOf(const Button* b) { return static_cast<HWND>(b->base.hwnd); }

constexpr DWORD kHAlign[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr DWORD kVAlign[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};

void applyFont(Button* b) {
  HFONT old = b->font;
  b->font = createFont(b->props.font);
  SendMessageW(hwndOf(b), WM_SETFONT, reinterpret_cast<WPARAM>(b->font ? b->font : defaultGuiFont()), TRUE);
  if (old) DeleteObject(old);
}

void replaceStyle(Button* b, DWORD mask, DWORD bits) {
  HWND hwnd = hwndOf(b);
  DWORD s = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>((s & ~mask) | bits));
  InvalidateRect(hwnd, nullptr, TRUE);
}

void releaseImage(Button* b) {
  releasePicture(&b->picture);
  if (b->icon) DestroyIcon(b->icon);
  b->icon = nullptr;
}

LRESULT CALLBACK buttonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* b = reinterpret_cast<Button*>(ref);
  switch (msg) {
    case rt::kMsgQueryObject:
      return reinterpret_cast<LRESULT>(b);
    case kReflect + WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) raiseEvent(&b->base, 0);
      return 0;
    case WM_SETFOCUS:
      raiseEvent(&b->base, -7);
      break;
    case WM_KILLFOCUS:
      raiseEvent(&b->base, -8);
      break;
    case WM_NCDESTROY: {
      RemoveWindowSubclass(hwnd, buttonProc, 1);
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      notifyDestroyed(&b->base);
      releaseImage(b);
      if (b->font) DeleteObject(b->font);
      delete b;
      return r;
    }
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

rt::LiveObject* RT_CALL create(const uint8_t* data, uint32_t size, uint32_t style, void* parent,
                               uint32_t controlId, void* menu, int32_t left, int32_t top,
                               int32_t width, int32_t height, uint32_t windowId,
                               uint32_t componentId, void* designOwner, int32_t designFlag) {
  auto* b = new Button();
  if (readButtonProps(data, size, &b->props) != ReadStatus::kOk) {
    delete b;
    return nullptr;
  }
  b->base = {nullptr, windowId, componentId, rt::kTypeButton, nullptr};
  const ButtonProps& p = b->props;
  DWORD s = style | WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE | kHAlign[p.hAlign] | kVAlign[p.vAlign] |
            (p.type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  // An undecodable picture is dropped and the caption shows.
  if (!p.picture.empty() && decodePicture(p.picture, &b->picture, GetSysColor(COLOR_BTNFACE))) {
    if (b->picture.iconKind) {
      b->icon = iconFromPicture(p.picture, 0);
      if (b->icon) s |= BS_ICON;
      else releasePicture(&b->picture);
    } else {
      s |= BS_BITMAP;
    }
  }
  HWND hwnd = CreateWindowExW(0, L"BUTTON", widen(p.caption).c_str(), s, left, top, width, height,
                              static_cast<HWND>(parent),
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd || !subclass(hwnd, buttonProc, b)) {
    if (hwnd) DestroyWindow(hwnd);
    releaseImage(b);
    delete b;
    return nullptr;
  }
  b->base.hwnd = hwnd;
  applyFont(b);
  if (b->icon) SendMessageW(hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(b->icon));
  else if (b->picture.bitmap) SendMessageW(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(b->picture.bitmap));
  return &b->base;
}

int32_t RT_CALL propertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
                                const char** errorText) {
  auto* b = reinterpret_cast<Button*>(obj);
  const ButtonProps& p = b->props;
  int32_t number = index + rt::kFirstOwnProperty;
  if (setStored(b->props, number, v) < 0) return 0;
  switch (number) {
    case 8: return 1;  // the picture is decoded at creation
    case 9: SendMessageW(hwndOf(b), BM_SETSTYLE, p.type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE); break;
    case 10: SetWindowTextW(hwndOf(b), widen(p.caption).c_str()); break;
    case 11: replaceStyle(b, BS_CENTER, kHAlign[p.hAlign]); break;
    case 12: replaceStyle(b, BS_VCENTER, kVAlign[p.vAlign]); break;
    case 13: applyFont(b); break;
  }
  return 0;
}

int32_t RT_CALL getPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out) {
  return getStored(reinterpret_cast<Button*>(obj)->props, index + rt::kFirstOwnProperty, out, nullptr);
}

uint8_t* RT_CALL getAllPropertyData(rt::LiveObject* obj, uint32_t* size) {
  return runtimeBlock(writeButtonProps(reinterpret_cast<Button*>(obj)->props), size);
}

int32_t RT_CALL isDefaultButton(rt::LiveObject* obj) {
  DWORD s = static_cast<DWORD>(GetWindowLongW(hwndOf(reinterpret_cast<Button*>(obj)), GWL_STYLE));
  return (s & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

void RT_CALL propertyTexts(rt::LiveObject* obj, PropertyTextFn fn, void* ctx) {
  static const int32_t kTexts[] = {10};  // caption
  walkPropertyTexts(obj, kTexts, 1, fn, ctx);
}

const rt::ComponentOps kButtonOps = {
  .version = 1,
  .create = create,
  .propertyChanged = propertyChanged,
  .getAllPropertyData = getAllPropertyData,
  .getPropertyData = getPropertyData,
  .propertyTexts = propertyTexts,
  .isDefaultButton = isDefaultButton,
};

}  // namespace

void* RT_CALL buttonInterface(int32_t op) { return rt::componentOperation(kButtonOps, op); }

}  // namespace comp
