// Font properties (property type 1013). Components keep a font as a 60-byte
// native font description: the LOGFONTA layout with a GBK face name. The
// application sees a font value: a heap block of seven fields in order,
// integers and logicals as words and the face name as a text.
#pragma once
#include <cstdint>

namespace rt {

#pragma pack(push, 4)
struct FontValue {
  int32_t angle;        // tenths of a degree
  int32_t bold, italic, strikeOut, underline;
  int32_t size;         // points
  char* face;           // GBK text; null = empty
};
#pragma pack(pop)
static_assert(sizeof(FontValue) == 28 || sizeof(void*) != 4, "font values are seven words");

constexpr uint32_t kFontDescriptionSize = 60;
constexpr int32_t kFontFieldCount = 7;   // element indexes 0-6

// A new font value for a description: one allocMemory block that holds the
// face text too, so FreeMemory of the value releases everything.
FontValue* newFontValue(const uint8_t* desc, int32_t dpi);
// Fills a description from a font value.
void describeFont(const FontValue* v, int32_t dpi, uint8_t* desc);
// One field of a description as ReadComponentProperty answers it: the face
// name (6) as a new text, the rest as integers; 0 for an unknown element.
int64_t fontField(const uint8_t* desc, int32_t element, int32_t dpi);
// Changes one field; value is an integer, or for the face name a text
// pointer.
// False for an unknown element.
bool setFontField(uint8_t* desc, int32_t element, uintptr_t value, int32_t dpi);

}  // namespace rt
