// Numbered requests between the runtime and its libraries and components:
// runtime notifications, library notification codes, and the runtime's
// private window messages and window property names.
#pragma once
#include <cstdint>
#include "runtime/typed_value.h"

namespace rt {

// Runtime notification entry and library notification functions.
typedef int32_t (RT_CALL* NotifyFn)(int32_t code, uint32_t p1, uint32_t p2);

// Runtime notification codes.
enum : int32_t {
  kNotifyDefaultIcons = 1000,
  kNotifyWindowTable = 1001,
  kNotifyTypeRecord = 1002,
  kNotifyRunDirBuffer = 1006,
  kNotifyWrapWindow = 1007,
  kNotifyAddIdle = 1012,
  kNotifyRemoveIdle = 1013,
  kNotifyDestroyed = 2000,
  kNotifyToInteger = 2001,
  kNotifyRunDirectory = 2003,
  kNotifyProgramName = 2004,
  kNotifyFindObject = 2006,
  kNotifyFindObjectOrFail = 2007,
  kNotifyEvent = 2008,
  kNotifyBeginCreate = 2009,
  kNotifyEndCreate = 2010,
  kNotifyPlaySound = 2015,
  kNotifyStopSound = 2016,
  kNotifyProcessEvents = 2018,
  kNotifyAlloc = 2024,
  kNotifyFree = 2025,
  kNotifyReportError = 2027,
  kNotifyProgramKind = 2030,
  kNotifyTypedEvent = 2031,
  // The runtime's own, for the core components:
  kNotifyRecordIndex = 3001,     // window id, component id -> record position, or -1
  kNotifyFocusOrder = 3002,      // window id, component id -> focus-order number
  kNotifyModalClosing = 3003,    // window id: re-enable what its modal load disabled
  kNotifyModalWindow = 3004,     // -> first visible, enabled, loaded modal window, or 0
  kNotifySoundCalls = 3005,      // const SoundCalls*: how sound plays from now on
};

// Codes the runtime sends to library notification functions.
enum : int32_t {
  kLibStart = 1,
  kLibPreTranslate = 2,
  kLibTerminate = 6,
  kLibCreateObject = 10,
  kLibDestroyObject = 11,
  kLibPlaySound = 13,
  kLibRelease = 17,
};

#pragma pack(push, 4)
struct PlaySoundRequest {   // notification 2015
  const uint8_t* data;
  uint32_t size;
  int32_t loop;
};
#pragma pack(pop)

// Private window messages.
constexpr uint32_t kMsgQueryObject = 0x8002;
constexpr uint32_t kMsgWindowLoaded = 0x8004;
constexpr uint32_t kMsgComponentsCreated = 0x806F;
constexpr uint32_t kMsgFocusPrepare = 0x8076;
constexpr uint32_t kMsgExitRequest = 0x83E7;
// Sent by the loader to show a loaded window; nonzero = shown as its
// position property asks, 0 = not handled (the loader shows it normally).
constexpr uint32_t kMsgShowLoaded = 0x8005;

// Window property naming the cursor (HCURSOR) of a component's mouse
// pointer; the window component shows it over that component.
constexpr const wchar_t* kPointerProperty = L"PaginetPointer";
// Window property naming the window's accelerator table (HACCEL), which
// its keyboard pre-translation tries first.
constexpr const wchar_t* kAcceleratorProperty = L"PaginetAccelerators";

}  // namespace rt
