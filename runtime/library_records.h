// The records by which a support library describes itself to the runtime:
// its library record, its data types and their properties.
#pragma once
#include <cstdint>
#include "runtime/notifications.h"
#include "runtime/typed_value.h"

namespace rt {

// A component type's numbered lookup of its operations (component_ops.h).
typedef void* (RT_CALL* ComponentInterface)(int32_t op);

#pragma pack(push, 4)
// Property record (20 bytes).
struct PropertyRecord {
  const char* name;
  const char* englishName;
  const char* description;
  uint16_t type;            // property type code, 1000..1024
  uint16_t flags;
  const void* choices;
};

// Type record (56 bytes).
struct TypeRecord {
  const char* name;
  const char* englishName;
  const char* description;
  int32_t count12;
  const void* list16;
  uint32_t flags;
  int32_t word24;
  int32_t count28;
  const void* list32;
  int32_t propertyCount;            // common properties included
  const PropertyRecord* properties;
  ComponentInterface iface;         // null for non-component types
  int32_t count48;
  const void* list52;
};

constexpr uint32_t kTypeFlagWindowComponent = 0x40;
constexpr uint32_t kTypeFlagComponent = 0x04;
constexpr uint32_t kTypeFlagPages = 0x100;
constexpr uint32_t kTypeFlagDefaultButton = 0x800;
constexpr uint32_t kTypeFlagNeverShown = 0x8000;
constexpr uint32_t kTypeFlagMessageFilter = 0x20;
constexpr uint32_t kTypeFlagShutdown = 0x80000;

// Library record, as listed by the program header.
struct LibraryRecord {
  uint32_t formatVersion;           // 20000101
  const char* identifier;
  int32_t major, minor, build;
  int32_t requiredMajor, requiredMinor, requiredMajor2, requiredMinor2;
  const char* name;
  int32_t language;                 // 1
  const char* text44;
  uint32_t state;
  const char* texts[8];
  int32_t typeCount;
  const TypeRecord* types;
  int32_t count92;
  const void* list96;
  int32_t commandCount;
  const void* ptr104;
  const CommandFn* commands;
  uint32_t null112[2];
  NotifyFn notify;
  uint32_t reserved[8];
};
#pragma pack(pop)

static_assert(sizeof(PropertyRecord) == 20 || sizeof(void*) != 4, "property records are 20 bytes");
static_assert(sizeof(TypeRecord) == 56 || sizeof(void*) != 4, "type records are 56 bytes");

}  // namespace rt
