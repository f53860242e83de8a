#include "runtime/font_values.h"
#include <cstring>
#include <string_view>
#include "runtime/runtime.h"

namespace rt {
namespace {

// LOGFONTA offsets.
constexpr size_t kHeight = 0, kEscapement = 8, kOrientation = 12, kWeight = 16, kItalic = 20,
                 kUnderline = 21, kStrikeOut = 22, kCharSet = 23, kFace = 28;
constexpr size_t kFaceBytes = 32;
constexpr int32_t kBoldWeight = 700;
constexpr uint8_t kDefaultCharSet = 1;
constexpr char kFallbackFace[] = "\xCB\xCE\xCC\xE5";   // 宋体

int32_t word(const uint8_t* d, size_t at) {
  int32_t v;
  std::memcpy(&v, d + at, 4);
  return v;
}
void putWord(uint8_t* d, size_t at, int32_t v) { std::memcpy(d + at, &v, 4); }

int32_t roundDiv(int64_t n, int64_t d) { return int32_t((n + (n >= 0 ? d / 2 : -d / 2)) / d); }

// Points from a height: negative heights are character heights, positive
// ones cell heights; both are taken as the size.
int32_t points(const uint8_t* d, int32_t dpi) {
  int32_t h = word(d, kHeight);
  return dpi > 0 ? roundDiv(int64_t(h < 0 ? -h : h) * 72, dpi) : 0;
}
void setPoints(uint8_t* d, int32_t size, int32_t dpi) { putWord(d, kHeight, -roundDiv(int64_t(size) * dpi, 72)); }

void setAngle(uint8_t* d, int32_t angle) {
  int32_t a = angle % 3600;
  if (a < 0) a += 3600;
  putWord(d, kEscapement, a);
  putWord(d, kOrientation, a);
}

// Faces of 1-31 bytes are kept; anything else becomes the fallback.
void setFace(uint8_t* d, std::string_view face) {
  if (face.empty() || face.size() >= kFaceBytes) face = kFallbackFace;
  std::memset(d + kFace, 0, kFaceBytes);
  std::memcpy(d + kFace, face.data(), face.size());
}

std::string_view faceOf(const uint8_t* d) {
  const char* f = reinterpret_cast<const char*>(d + kFace);
  return std::string_view(f, strnlen(f, kFaceBytes));
}

}  // namespace

FontValue* newFontValue(const uint8_t* desc, int32_t dpi) {
  // The face lives in the value's own block: FreeMemory of the value, all
  // its owner does, then releases the face too.
  const std::string_view face = faceOf(desc);
  auto* v = static_cast<FontValue*>(allocMemory(uint32_t(sizeof(FontValue) + face.size() + 1)));
  v->angle = word(desc, kEscapement);
  v->bold = word(desc, kWeight) >= kBoldWeight;
  v->italic = desc[kItalic] != 0;
  v->strikeOut = desc[kStrikeOut] != 0;
  v->underline = desc[kUnderline] != 0;
  v->size = points(desc, dpi);
  v->face = nullptr;   // the empty text
  if (!face.empty()) {
    v->face = reinterpret_cast<char*>(v + 1);
    std::memcpy(v->face, face.data(), face.size());
    v->face[face.size()] = 0;
  }
  return v;
}

void describeFont(const FontValue* v, int32_t dpi, uint8_t* desc) {
  std::memset(desc, 0, kFontDescriptionSize);
  desc[kCharSet] = kDefaultCharSet;
  setPoints(desc, v->size, dpi);
  setAngle(desc, v->angle);
  putWord(desc, kWeight, v->bold ? kBoldWeight : 0);
  desc[kItalic] = v->italic != 0;
  desc[kStrikeOut] = v->strikeOut != 0;
  desc[kUnderline] = v->underline != 0;
  setFace(desc, textOf(v->face));
}

int64_t fontField(const uint8_t* desc, int32_t element, int32_t dpi) {
  switch (element) {
    case 0: return word(desc, kEscapement);
    case 1: return word(desc, kWeight) >= kBoldWeight;
    case 2: return desc[kItalic] != 0;
    case 3: return desc[kStrikeOut] != 0;
    case 4: return desc[kUnderline] != 0;
    case 5: return points(desc, dpi);
    case 6: return int64_t(reinterpret_cast<uintptr_t>(newText(faceOf(desc))));
    default: return 0;
  }
}

bool setFontField(uint8_t* desc, int32_t element, uintptr_t value, int32_t dpi) {
  int32_t i = int32_t(value);
  switch (element) {
    case 0: setAngle(desc, i); return true;
    case 1: putWord(desc, kWeight, i ? kBoldWeight : 0); return true;
    case 2: desc[kItalic] = i != 0; return true;
    case 3: desc[kStrikeOut] = i != 0; return true;
    case 4: desc[kUnderline] = i != 0; return true;
    case 5: setPoints(desc, i, dpi); return true;
    case 6: setFace(desc, textOf(reinterpret_cast<const char*>(value))); return true;
    default: return false;
  }
}

}  // namespace rt
