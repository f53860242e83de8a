// Test harness for the core components on real windows: a recording runtime
// notification entry, block builders and a message pump that pre-translates
// as the runtime's loop does.
#pragma once
#include <windows.h>
#include <vector>
#include "components/components.h"
#include "components/core_library.h"
#include "components/property_blocks.h"

namespace harness {

struct Recorded {
  uint32_t componentId;
  int32_t event;
  int32_t argc;
  int32_t arg0;
};

// Everything the components asked of the runtime since the last reset.
struct Runtime {
  std::vector<Recorded> events;
  std::vector<uint32_t> destroyed;   // component ids of notification 2000
  int sounds = 0;
  const void* soundCalls = nullptr;  // what notification 3005 handed over
  // Question events with this number answer false.
  int32_t refuseEvent = 0x7FFFFFFF;
  void reset() { *this = Runtime(); }
  int count(uint32_t componentId, int32_t event) const;
};
Runtime& runtime();
void install();  // sets the recording entry as the components' runtime
// Type records the recording entry answers for library 2 (type codes
// 0x20001 on), for components that the tests make up.
void setTestTypes(const rt::TypeRecord* types, uint32_t count);

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kWindowRecord = 0x06010000;

// Creates a component through its type's interface; null on failure.
rt::LiveObject* create(uint32_t typeCode, const std::vector<uint8_t>& block, HWND parent,
                       uint32_t controlId, RECT r, uint32_t componentId, uint32_t style = 0);
int32_t get(rt::LiveObject* obj, int32_t property);            // integer form
std::string getText(rt::LiveObject* obj, int32_t property);
int32_t set(rt::LiveObject* obj, int32_t property, int32_t value);
int32_t setText(rt::LiveObject* obj, int32_t property, const char* text);
std::vector<uint8_t> allData(rt::LiveObject* obj);

// Pumps messages (with pre-translation) for about ms milliseconds.
void pump(int ms);
// Pumps until pred() or ms elapse; returns pred().
template <typename F> bool pumpUntil(F pred, int ms) {
  DWORD end = GetTickCount() + ms;
  while (!pred() && GetTickCount() < end) pump(10);
  return pred();
}
// Posts a key press to hwnd as a user's keystroke would arrive.
void pressKey(HWND hwnd, UINT vk);

}  // namespace harness
