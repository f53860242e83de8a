// The form description: every window of the program with its component
// records, as embedded in the program. The reader is bounded and refuses
// anything truncated or inconsistent; the writer produces the same bytes
// for whatever the reader accepted (record offsets are written in order).
// Neutral: usable from the runtime and from native host tools.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "runtime/abi.h"

namespace rt {

struct EventBinding {
  int32_t event;
  int32_t offset;        // from the application code base; -1 = not bound
  uintptr_t routine;     // resolved address, 0 = not bound
};

struct ComponentRecord {
  uint32_t id = 0;
  uint32_t typeCode = 0;
  uint32_t sharedLink = 0;      // component id whose events are used; 0 = none
  uint8_t reserved8[16] = {};
  std::string name, name2;
  uint32_t objectWord = 0;      // as stored; the live object is kept in `object`
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t cursorWord = 0;
  uint32_t parent = 0;          // 0 = the window
  std::vector<uint32_t> children;
  std::vector<uint8_t> mousePointer;
  std::string tag;
  uint32_t reservedWord = 0;
  uint32_t flags = 0;           // bit 0 visible, bit 1 disabled, bit 2 tab stop
  uint32_t focusOrder = 0;
  std::vector<EventBinding> events;  // a menu item has exactly one
  uint8_t reserved20[20] = {};
  std::vector<uint8_t> propertyData;
  // Menu items only: the 12 bytes after the names and the caption.
  uint8_t menuBytes[12] = {};
  std::string caption;

  // Run-time state, never stored.
  LiveObject* object = nullptr;
  void* cursor = nullptr;

  bool isMenuItem() const { return typeCode == kTypeMenuItem; }
};

constexpr uint32_t kRecordVisible = 1;
constexpr uint32_t kRecordDisabled = 2;
constexpr uint32_t kRecordTabStop = 4;

struct WindowDescription {
  uint32_t headerA = 0, headerB = 0;
  std::string text1, text2;
  std::vector<ComponentRecord> records;  // record 0 is the window itself
};

struct FormWindow {
  uint32_t id = 0;
  uint32_t slotWord = 0;        // whatever the building tool held
  WindowDescription desc;
};

struct FormDescription {
  std::vector<FormWindow> windows;
};

// False on any truncation, length past the end or inconsistent count.
bool readFormDescription(const uint8_t* data, size_t size, FormDescription* out);
std::vector<uint8_t> writeFormDescription(const FormDescription& form);
// Byte image of one component record without its length word.
std::vector<uint8_t> writeComponentRecord(const ComponentRecord& r);
// Turns every routine offset into an address: -1 -> 0, else base + offset.
void resolveRoutines(FormDescription* form, uintptr_t codeBase);

}  // namespace rt
