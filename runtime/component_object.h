// What every live component object starts with, and the numbers and
// signatures of the operations a component type hands out.
#pragma once
#include <cstdint>
#include "runtime/typed_value.h"

namespace rt {

// Component interface operations.
enum : int32_t {
  kOpCreate = 1,
  kOpQuery2 = 2,
  kOpQuery3 = 3,
  kOpPropertyChanged = 4,
  kOpGetAllPropertyData = 5,
  kOpGetPropertyData = 6,
  kOpIconData = 7,
  kOpWantsKey = 8,
  kOpPropertyTexts = 9,
  kOpIsDefaultButton = 10,
  kOpDefaultSize = 12,
  // Ours: operations the window calls on components of types with the
  // matching type flag.
  kOpMessageFilter = 11,          // type flag 0x20
  kOpShutdown = 13,               // type flag 0x80000
};

#pragma pack(push, 4)
// Every live component object starts with this header so the runtime can
// reach its native window and ids, and can pre-translate its messages.
struct LiveObject {
  void* hwnd;                       // native window (HWND)
  uint32_t windowId;
  uint32_t componentId;
  uint32_t typeCode;
  // Keyboard pre-translation; nonzero = message consumed. May be null.
  int32_t (RT_CALL* preTranslate)(LiveObject* self, void* msg);
};
#pragma pack(pop)

typedef LiveObject* (RT_CALL* CreateComponentFn)(
    const uint8_t* data, uint32_t size, uint32_t style, void* parent,
    uint32_t controlId, void* menu, int32_t left, int32_t top, int32_t width,
    int32_t height, uint32_t windowId, uint32_t componentId, void* designOwner,
    int32_t designFlag);
typedef int32_t (RT_CALL* PropertyChangedFn)(LiveObject* obj, int32_t index,
                                             const PropValue* value,
                                             const char** errorText);
// Returns a block from AllocMemory; the caller frees it.
typedef uint8_t* (RT_CALL* GetAllPropertyDataFn)(LiveObject* obj, uint32_t* size);
// Pointers in *out stay owned by the component until its next call.
typedef int32_t (RT_CALL* GetPropertyDataFn)(LiveObject* obj, int32_t index,
                                             PropValue* out);
typedef int32_t (RT_CALL* WantsKeyFn)(LiveObject* obj, uint32_t key);
typedef int32_t (RT_CALL* IsDefaultButtonFn)(LiveObject* obj);
typedef void (RT_CALL* DefaultSizeFn)(int32_t* width, int32_t* height);
// Sees a message (MSG*) for the component before the window's own
// handling; nonzero = consumed.
typedef int32_t (RT_CALL* MessageFilterFn)(LiveObject* obj, void* msg);
// The window holding the component is about to be destroyed.
typedef void (RT_CALL* ShutdownFn)(LiveObject* obj);

}  // namespace rt
