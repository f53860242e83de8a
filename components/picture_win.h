// Picture data (PNG, JPEG, BMP, GIF, ICO...) decoded through WIC.
#pragma once
#include <windows.h>
#include "components/property_blocks.h"

namespace comp {

struct Picture {
  HBITMAP bitmap = nullptr;  // 32-bit top-down DIB section
  int width = 0, height = 0;
  bool iconKind = false;     // the data was an icon file
};

// Decodes the first frame. With a background colour, transparent pixels are
// blended onto it and the result is opaque. False when WIC cannot decode it.
bool decodePicture(const Bytes& data, Picture* out, COLORREF background = CLR_INVALID);
void releasePicture(Picture* p);
// An icon made from a decoded picture (colour plus alpha); null on failure.
HICON iconFromPicture(const Bytes& data, int size);

}  // namespace comp
