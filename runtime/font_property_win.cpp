// Font properties between the property services and a component: the
// component answers and takes a 60-byte description; without one of its
// own it shows the default GUI font, which stands in as its current font.
#include <windows.h>
#include <cstring>
#include "runtime/font_values.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/runtime_win.h"

namespace rt {
namespace {

int32_t screenDpi() {
  HDC dc = GetDC(nullptr);
  int32_t dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

void defaultGuiDescription(uint8_t* desc) {
  LOGFONTW lf = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  std::memset(desc, 0, kFontDescriptionSize);
  std::memcpy(desc, &lf, offsetof(LOGFONTW, lfFaceName));
  std::string face = wideToGbk(lf.lfFaceName);
  std::memcpy(desc + offsetof(LOGFONTA, lfFaceName), face.data(), std::min<size_t>(face.size(), 31));
}

// The component's font, or the default GUI font when it has none.
void currentDescription(const PropValue* current, uint8_t* desc) {
  if (current && current->raw.data && current->raw.size == kFontDescriptionSize)
    std::memcpy(desc, current->raw.data, kFontDescriptionSize);
  else
    defaultGuiDescription(desc);
}

}  // namespace

int64_t fontResult(const PropValue* current, int32_t element) {
  uint8_t desc[kFontDescriptionSize];
  currentDescription(current, desc);
  if (element == -1) return int64_t(uintptr_t(newFontValue(desc, screenDpi())));
  return fontField(desc, element, screenDpi());
}

bool fontArgument(const PropValue* current, int32_t element, uint32_t low, uint8_t* desc) {
  if (element == -1) {
    auto* v = reinterpret_cast<const FontValue*>(uintptr_t(low));
    if (!v) return false;
    describeFont(v, screenDpi(), desc);
    return true;
  }
  currentDescription(current, desc);
  return setFontField(desc, element, low, screenDpi());
}

}  // namespace rt
