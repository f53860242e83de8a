// The core components' own properties, each described once in a list per
// type: the plain struct with the defaults, the property data block (a
// bounded reader and a writer of the newest version) and the stored values
// exchanged with component operations 4 and 6 are all made from it.
// Neutral code, so host tools can generate form descriptions with it.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include "runtime/byte_io.h"
#include "runtime/component_ops.h"

namespace comp {

// Counted fields hold raw bytes: GBK text for texts, picture/sound/font
// data for blocks. An empty string is an empty field.
using Bytes = std::string;

using rt::ReadStatus;

// Choice properties store the nearest limit of [0, max].
inline int32_t clampChoice(int32_t v, int32_t max) { return v < 0 ? 0 : (v > max ? max : v); }
inline int32_t nonNegative(int32_t v) { return v < 0 ? 0 : v; }

constexpr uint32_t kSystemFaceColour = 0xFF000000;  // system button face
constexpr uint32_t kFontDataSize = 60;              // native font description

// How a property is bounded: `read` when a block is loaded, `write` when the
// program writes the property. Logical values are normalised on writes only.
struct Plain {
  static int32_t read(int32_t v) { return v; }
  static int32_t write(int32_t v) { return v; }
};
struct Logical {
  static int32_t read(int32_t v) { return v; }
  static int32_t write(int32_t v) { return v != 0; }
};
struct NonNegative {
  static int32_t read(int32_t v) { return nonNegative(v); }
  static int32_t write(int32_t v) { return nonNegative(v); }
};
template <int32_t Max>
struct Choice {
  static int32_t read(int32_t v) { return clampChoice(v, Max); }
  static int32_t write(int32_t v) { return clampChoice(v, Max); }
};
struct Text {};      // Bytes exchanged as a z-text
struct Raw {};       // Bytes exchanged as (data, length)
struct CharCode {};  // uint16_t block field; its low byte exchanged as a one-byte text

// The lists: F(property number, property type code, C++ type, member,
// default, kind, first block version holding it), in property block order
// after the version word.
#define WINDOW_FIELDS(F)                                                   \
  F(9, 1006, int32_t, border, 2, Choice<6>, 0)                             \
  F(12, 1006, int32_t, pictureMode, 1, Choice<3>, 0)                       \
  F(10, 1017, uint32_t, backColour, kSystemFaceColour, Plain, 0)           \
  F(16, 1003, int32_t, maxBox, 0, Logical, 0)                              \
  F(17, 1003, int32_t, minBox, 1, Logical, 0)                              \
  F(15, 1003, int32_t, controlBox, 1, Logical, 0)                          \
  F(18, 1006, int32_t, position, 1, Choice<3>, 0) /* 1 centred */          \
  F(19, 1003, int32_t, movable, 1, Logical, 0)                             \
  F(14, 1006, int32_t, musicMode, 0, Choice<2>, 0) /* 0 loop, 2 off */     \
  F(21, 1003, int32_t, enterMovesFocus, 0, Logical, 0)                     \
  F(22, 1003, int32_t, escCloses, 1, Logical, 0)                           \
  F(23, 1003, int32_t, f1Help, 0, Logical, 0)                              \
  F(25, 1001, int32_t, helpContext, 0, Plain, 0)                           \
  F(26, 1003, int32_t, inTaskbar, 1, Logical, 2)                           \
  F(27, 1003, int32_t, dragByClient, 0, Logical, 3)                        \
  F(28, 1006, int32_t, shape, 0, Choice<29>, 3)                            \
  F(29, 1003, int32_t, topmost, 0, Logical, 4)                             \
  F(30, 1003, int32_t, keepTitleActive, 0, Logical, 5)                     \
  F(31, 1005, Bytes, className, {}, Text, 6) /* empty = WTWindow */        \
  F(11, 1009, Bytes, picture, {}, Raw, 0)                                  \
  F(20, 1010, Bytes, icon, {}, Raw, 0)                                     \
  F(13, 1012, Bytes, music, {}, Raw, 0)                                    \
  F(8, 1005, Bytes, caption, {}, Text, 0)                                  \
  F(24, 1016, Bytes, helpFile, {}, Text, 0)

#define EDIT_BOX_FIELDS(F)                                                 \
  F(9, 1006, int32_t, border, 1, Choice<5>, 0)                             \
  F(10, 1014, uint32_t, textColour, 0, Plain, 0)                           \
  F(11, 1017, uint32_t, backColour, 0xFFFFFF, Plain, 0)                    \
  F(13, 1003, int32_t, hideSelection, 1, Logical, 0)                       \
  F(14, 1001, int32_t, maxLength, 0, NonNegative, 0) /* 0 = default */     \
  F(15, 1003, int32_t, multiLine, 0, Logical, 0)                           \
  F(16, 1006, int32_t, scrollBars, 0, Choice<3>, 0)                        \
  F(17, 1006, int32_t, alignment, 0, Choice<2>, 0)                         \
  F(18, 1006, int32_t, inputMode, 0, Choice<11>, 0)                        \
  F(19, 1005, uint16_t, passwordChar, '*', CharCode, 0)                    \
  F(20, 1006, int32_t, caseConversion, 0, Choice<2>, 0)                    \
  F(21, 1006, int32_t, upDownType, 0, Choice<2>, 0)                        \
  F(22, 1001, int32_t, upDownMin, 0, Plain, 0)                             \
  F(23, 1001, int32_t, upDownMax, 100, Plain, 0)                           \
  F(24, 1001, int32_t, selStart, 0, Plain, 0)                              \
  F(25, 1001, int32_t, selLength, 0, Plain, 0)                             \
  F(12, 1013, Bytes, font, {}, Raw, 0) /* empty or kFontDataSize */        \
  F(8, 1005, Bytes, content, {}, Text, 0)                                  \
  F(27, 1018, Bytes, dataSource, {}, Text, 2)                              \
  F(28, 1020, Bytes, dataColumn, {}, Text, 2)

#define BUTTON_FIELDS(F)                                                   \
  F(9, 1006, int32_t, type, 0, Choice<1>, 0) /* 1 default push */          \
  F(11, 1006, int32_t, hAlign, 1, Choice<2>, 0)                            \
  F(12, 1006, int32_t, vAlign, 1, Choice<2>, 0)                            \
  F(8, 1009, Bytes, picture, {}, Raw, 0)                                   \
  F(13, 1013, Bytes, font, {}, Raw, 0)                                     \
  F(10, 1005, Bytes, caption, "按钮", Text, 0)

#define TIMER_FIELDS(F) F(8, 1001, int32_t, period, 0, NonNegative, 0) /* 0 = stopped */

#define COMP_DECLARE_FIELD(number, code, type, member, init, kind, since) type member = init;
#define COMP_VISIT_FIELD(number, code, type, member, init, kind, since) f(number, p.member, kind{}, since);

// struct WindowProps, EditBoxProps, ButtonProps and TimerProps: kVersion is
// the newest block version; visit(p, f) calls f(number, field, kind, since)
// for each field in block order.
#define COMP_PROPS(Name, version, LIST)                                                          \
  struct Name {                                                                                  \
    static constexpr uint32_t kVersion = version;                                                \
    LIST(COMP_DECLARE_FIELD)                                                                     \
    template <class Self, class F> static void visit(Self& p, F&& f) { LIST(COMP_VISIT_FIELD) } \
  };
COMP_PROPS(WindowProps, 6, WINDOW_FIELDS)
COMP_PROPS(EditBoxProps, 2, EDIT_BOX_FIELDS)
COMP_PROPS(ButtonProps, 1, BUTTON_FIELDS)
COMP_PROPS(TimerProps, 1, TIMER_FIELDS)

#undef COMP_PROPS
#undef COMP_DECLARE_FIELD
#undef COMP_VISIT_FIELD

// Readers: an empty block gives the defaults; fields missing from an older
// version keep their defaults; choices are clamped. On failure *out is
// unspecified. Trailing bytes after the last field are ignored.
ReadStatus readWindowProps(const uint8_t* data, uint32_t size, WindowProps* out);
ReadStatus readEditBoxProps(const uint8_t* data, uint32_t size, EditBoxProps* out);
ReadStatus readButtonProps(const uint8_t* data, uint32_t size, ButtonProps* out);
ReadStatus readTimerProps(const uint8_t* data, uint32_t size, TimerProps* out);

// Writers: always the newest version.
std::vector<uint8_t> writeWindowProps(const WindowProps& p);
std::vector<uint8_t> writeEditBoxProps(const EditBoxProps& p);
std::vector<uint8_t> writeButtonProps(const ButtonProps& p);
std::vector<uint8_t> writeTimerProps(const TimerProps& p);

// Value exchange with operations 4 and 6.
inline void putInt(rt::PropValue* out, int32_t v) { out->w[0] = static_cast<uint32_t>(v); out->w[1] = 0; }
// The second word is cleared first: a 64-bit host's pointer fills both.
inline void putText(rt::PropValue* out, const Bytes& s) { out->w[1] = 0; out->text = s.c_str(); }
inline void putRaw(rt::PropValue* out, const Bytes& s) {
  out->raw.data = reinterpret_cast<const uint8_t*>(s.data());
  out->raw.size = static_cast<uint32_t>(s.size());
}
inline Bytes textIn(const rt::PropValue* v) { return v->text ? Bytes(v->text) : Bytes(); }
inline Bytes rawIn(const rt::PropValue* v) {
  return v->raw.data ? Bytes(reinterpret_cast<const char*>(v->raw.data), v->raw.size) : Bytes();
}

namespace field {
template <class T, class Kind> void get(const T& f, Kind, rt::PropValue* out, Bytes*) {
  putInt(out, static_cast<int32_t>(f));
}
inline void get(const Bytes& f, Text, rt::PropValue* out, Bytes*) { putText(out, f); }
inline void get(const Bytes& f, Raw, rt::PropValue* out, Bytes*) { putRaw(out, f); }
inline void get(const uint16_t& f, CharCode, rt::PropValue* out, Bytes* scratch) {
  *scratch = Bytes(1, static_cast<char>(f & 0xFF));
  putText(out, *scratch);
}
template <class T, class Kind> T set(const T&, Kind, const rt::PropValue* v) {
  return static_cast<T>(Kind::write(v->i));
}
inline Bytes set(const Bytes&, Text, const rt::PropValue* v) { return textIn(v); }
inline Bytes set(const Bytes&, Raw, const rt::PropValue* v) { return rawIn(v); }
inline uint16_t set(const uint16_t&, CharCode, const rt::PropValue* v) {
  Bytes t = textIn(v);
  return t.empty() ? 0 : static_cast<uint8_t>(t[0]);
}
}  // namespace field

// The stored value of own property `number` (8 and up) into *out. The
// password character's text is made in *scratch (types without one may pass
// null). False when the type stores no such property.
template <class P>
bool getStored(const P& p, int32_t number, rt::PropValue* out, Bytes* scratch) {
  bool found = false;
  P::visit(p, [&](int32_t n, const auto& f, auto kind, uint32_t) {
    if (n == number) found = (field::get(f, kind, out, scratch), true);
  });
  return found;
}

// Stores a written value, bounded as its kind says. Answers 1 when the
// stored value changed, 0 when it did not, -1 when there is no such property.
template <class P>
int32_t setStored(P& p, int32_t number, const rt::PropValue* v) {
  int32_t result = -1;
  P::visit(p, [&](int32_t n, auto& f, auto kind, uint32_t) {
    if (n != number) return;
    auto value = field::set(f, kind, v);
    result = value != f;
    f = std::move(value);
  });
  return result;
}

}  // namespace comp
