// The window's look: icons, the background picture and its painting.
#include "components/window_object_win.h"

namespace comp {

void releaseIcons(WindowObject* w) {
  if (w->ownIcons) {
    if (w->bigIcon) DestroyIcon(w->bigIcon);
    if (w->smallIcon) DestroyIcon(w->smallIcon);
  }
  w->bigIcon = w->smallIcon = nullptr;
  w->ownIcons = false;
}

void loadIcons(WindowObject* w) {
  HWND hwnd = hwndOf(w);
  HICON oldBig = w->bigIcon, oldSmall = w->smallIcon;
  bool oldOwn = w->ownIcons;
  HICON big = nullptr, small = nullptr;
  if (!w->props.icon.empty()) {
    big = iconFromPicture(w->props.icon, GetSystemMetrics(SM_CXICON));
    small = iconFromPicture(w->props.icon, GetSystemMetrics(SM_CXSMICON));
  }
  if (big && small) {
    w->ownIcons = true;
  } else {
    if (big) DestroyIcon(big);
    if (small) DestroyIcon(small);
    uint32_t defaults[2] = {0, 0};
    if (runtimeNotify()) runtimeNotify()(rt::kNotifyDefaultIcons, reinterpret_cast<uint32_t>(defaults), 0);
    big = reinterpret_cast<HICON>(defaults[0]);
    small = reinterpret_cast<HICON>(defaults[1]);
    w->ownIcons = false;
  }
  w->bigIcon = big;
  w->smallIcon = small;
  SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  if (oldOwn) {
    if (oldBig) DestroyIcon(oldBig);
    if (oldSmall) DestroyIcon(oldSmall);
  }
}

void loadPicture(WindowObject* w) {
  releasePicture(&w->picture);
  if (!w->props.picture.empty()) decodePicture(w->props.picture, &w->picture);
}

void paintBackground(WindowObject* w, HDC dc) {
  HWND hwnd = hwndOf(w);
  RECT rc;
  GetClientRect(hwnd, &rc);
  uint32_t c = w->props.backColour;
  HBRUSH brush = c == kSystemFaceColour ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(c & 0xFFFFFF);
  FillRect(dc, &rc, brush);
  if (c != kSystemFaceColour) DeleteObject(brush);
  const Picture& p = w->picture;
  if (!p.bitmap) return;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, p.bitmap);
  switch (w->props.pictureMode) {
    case 1:  // tiled
      for (int y = 0; y < rc.bottom; y += p.height)
        for (int x = 0; x < rc.right; x += p.width) BitBlt(dc, x, y, p.width, p.height, mem, 0, 0, SRCCOPY);
      break;
    case 2:  // stretched
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, p.width, p.height, SRCCOPY);
      break;
    case 3:  // centred
      BitBlt(dc, (rc.right - p.width) / 2, (rc.bottom - p.height) / 2, p.width, p.height, mem, 0, 0, SRCCOPY);
      break;
    default:  // top-left, as is
      BitBlt(dc, 0, 0, p.width, p.height, mem, 0, 0, SRCCOPY);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

}  // namespace comp
