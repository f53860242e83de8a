// The records of an event on its way from a component to the application
// routine bound to it (notifications 2008 and 2031).
#pragma once
#include <cstddef>
#include <cstdint>
#include "runtime/typed_value.h"

namespace rt {

#pragma pack(push, 4)
// Event record of notification 2008 (44 bytes).
struct EventRecord {
  uint32_t windowId;
  uint32_t componentId;
  int32_t event;
  int32_t argc;             // 0-5
  int32_t args[5];
  int32_t hasResult;        // set by the runtime
  int32_t result;
};

struct TypedArg {
  Value value;
  uint32_t flags;           // bit 0 by reference, bit 1 both words
};

// Typed event record of notification 2031 (220 bytes).
struct TypedEventRecord {
  uint32_t windowId;
  uint32_t componentId;
  int32_t event;
  int32_t argc;             // 0-12
  TypedArg args[12];
  int32_t hasResult;        // offset 208
  uint32_t result[2];       // offset 212
};

// Result slot of an application event routine. Routines are cdecl, so the
// dispatcher may pass any number of argument words: the slot first, then
// the event's arguments, first argument first.
struct RoutineResult {
  int32_t hasResult;
  uint32_t value[2];
};
#pragma pack(pop)

static_assert(sizeof(EventRecord) == 44, "event record is 44 bytes");
static_assert(offsetof(TypedEventRecord, hasResult) == 208, "typed result at 208");
static_assert(offsetof(TypedEventRecord, result) == 212, "typed result at 212");

}  // namespace rt
