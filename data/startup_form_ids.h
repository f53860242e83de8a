// What the startup window's form description and the application's code
// agree on: the ids of the window and its components, and the code-area
// stub behind each bound event routine (app/code_area.S, in this order).
#pragma once
#include <cstdint>

namespace form {

constexpr uint32_t kStartupWindow = 0x52010001;
constexpr uint32_t kWindowRecord = 0x06010000;
constexpr uint32_t kEditBox1 = 0x1601D0B6;
constexpr uint32_t kTimer1 = 0x1601D0AC;
constexpr uint32_t kButton2 = 0x1601A178;   // 前往首页
constexpr uint32_t kButton1 = 0x1601A14D;   // 采集
constexpr uint32_t kBrowser1 = 0x1601A14C;

// Event tables hold a routine's offset in the code area: its stub number
// times kStubSize, known before linking.
constexpr int32_t kStubSize = 8;
enum Stub : int32_t {
  kStubFirstActivation,
  kStubWindowResized,
  kStubWindowMoved,
  kStubLayoutTimer,
  kStubHomeButton,
  kStubCaptureButton,
};
constexpr int32_t stubOffset(Stub s) { return s * kStubSize; }

}  // namespace form
