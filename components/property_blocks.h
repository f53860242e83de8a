// Property data blocks of the core components: the serialised property
// values at the end of a component record. Plain structs with the defaults,
// a bounded reader and a writer of the newest version. Neutral code, so host
// tools can generate form descriptions with it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace comp {

// Counted fields hold raw bytes: GBK text for texts, picture/sound/font
// data for blocks. An empty string is an empty field.
using Bytes = std::string;

enum class ReadStatus { kOk, kTruncated, kNewerVersion };

// Choice properties store the nearest limit of [0, max].
inline int32_t clampChoice(int32_t v, int32_t max) { return v < 0 ? 0 : (v > max ? max : v); }
inline int32_t nonNegative(int32_t v) { return v < 0 ? 0 : v; }

constexpr uint32_t kSystemFaceColour = 0xFF000000;  // system button face
constexpr uint32_t kFontDataSize = 60;              // native font description

struct WindowProps {
  static constexpr uint32_t kVersion = 6;
  int32_t border = 2;            // 0-6
  int32_t pictureMode = 1;       // 0-3
  uint32_t backColour = kSystemFaceColour;
  int32_t maxBox = 0;
  int32_t minBox = 1;
  int32_t controlBox = 1;
  int32_t position = 1;          // 0 normal, 1 centred, 2 minimised, 3 maximised
  int32_t movable = 1;
  int32_t musicMode = 0;         // 0 loop, 1 once, 2 off
  int32_t enterMovesFocus = 0;
  int32_t escCloses = 1;
  int32_t f1Help = 0;
  int32_t helpContext = 0;
  int32_t inTaskbar = 1;         // version 2
  int32_t dragByClient = 0;      // version 3
  int32_t shape = 0;             // version 3, 0-29
  int32_t topmost = 0;           // version 4
  int32_t keepTitleActive = 0;   // version 5
  Bytes className;               // version 6; empty = WTWindow
  Bytes picture, icon, music;
  Bytes caption, helpFile;
};

struct EditBoxProps {
  static constexpr uint32_t kVersion = 2;
  int32_t border = 1;            // 0-5
  uint32_t textColour = 0;
  uint32_t backColour = 0xFFFFFF;
  int32_t hideSelection = 1;
  int32_t maxLength = 0;         // bytes; 0 = the control's default
  int32_t multiLine = 0;
  int32_t scrollBars = 0;        // 0-3
  int32_t alignment = 0;         // 0-2
  int32_t inputMode = 0;         // 0-11
  uint16_t passwordChar = '*';   // character code in the low byte
  int32_t caseConversion = 0;    // 0-2
  int32_t upDownType = 0;        // 0-2
  int32_t upDownMin = 0;
  int32_t upDownMax = 100;
  int32_t selStart = 0;
  int32_t selLength = 0;
  Bytes font;                    // empty or kFontDataSize bytes
  Bytes content;
  Bytes dataSource, dataColumn;  // version 2
};

struct ButtonProps {
  static constexpr uint32_t kVersion = 1;
  int32_t type = 0;              // 0 push button, 1 default push button
  int32_t hAlign = 1;            // 0 left, 1 centre, 2 right
  int32_t vAlign = 1;            // 0 top, 1 centre, 2 bottom
  Bytes picture;
  Bytes font;
  Bytes caption = "按钮";
};

struct TimerProps {
  static constexpr uint32_t kVersion = 1;
  int32_t period = 0;            // milliseconds; 0 = stopped
};

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

}  // namespace comp
