#include "components/core_library.h"
#include "components/components.h"
#include "components/property_blocks.h"
#include "runtime/core_commands.h"
#include "sound/sound.h"

namespace comp {
namespace {

constexpr uint16_t kCommon = 0xE000;
constexpr uint16_t kOwn = 0x8000;

#define COMMON_PROPERTIES                                                              \
  {nullptr, nullptr, nullptr, 1001, kCommon, nullptr}, /* left */                      \
  {nullptr, nullptr, nullptr, 1001, kCommon, nullptr}, /* top */                       \
  {nullptr, nullptr, nullptr, 1001, kCommon, nullptr}, /* width */                     \
  {nullptr, nullptr, nullptr, 1001, kCommon, nullptr}, /* height */                    \
  {nullptr, nullptr, nullptr, 1005, kCommon, nullptr}, /* tag text */                  \
  {nullptr, nullptr, nullptr, 1003, kCommon, nullptr}, /* visible */                   \
  {nullptr, nullptr, nullptr, 1003, kCommon, nullptr}, /* disabled */                  \
  {nullptr, nullptr, nullptr, 1011, kCommon, nullptr}  /* mouse pointer */
#define OWN(type) {nullptr, nullptr, nullptr, type, kOwn, nullptr}

// Records indexed by property number: the common ones, then the type code
// of each listed property at its number.
template <size_t N>
struct PropertyTable {
  rt::PropertyRecord records[N];
};

template <size_t N>
constexpr PropertyTable<N> commonProperties() {
  PropertyTable<N> t = {{COMMON_PROPERTIES}};
  return t;
}

// Every number below N has a record.
template <size_t N>
constexpr bool complete(const PropertyTable<N>& t) {
  for (const rt::PropertyRecord& r : t.records)
    if (r.type == 0) return false;
  return true;
}

template <size_t N>
constexpr PropertyTable<N> withRecord(PropertyTable<N> t, int32_t number, uint16_t code) {
  t.records[number] = OWN(code);
  return t;
}

// A table of N records from a property list of property_blocks.h; a number
// at or past N does not compile.
#define PUT_RECORD(number, code, ...) t.records[number] = OWN(code);
#define PROPERTY_TABLE(N, LIST) [] { auto t = commonProperties<N>(); LIST(PUT_RECORD) return t; }()
constexpr auto kWindowTable = PROPERTY_TABLE(32, WINDOW_FIELDS);
// The selected text (26) is the control's, never stored.
constexpr auto kEditBoxTable = withRecord(PROPERTY_TABLE(29, EDIT_BOX_FIELDS), 26, 1005);
constexpr auto kButtonTable = PROPERTY_TABLE(14, BUTTON_FIELDS);
constexpr auto kTimerTable = PROPERTY_TABLE(9, TIMER_FIELDS);
#undef PROPERTY_TABLE
#undef PUT_RECORD
static_assert(complete(kWindowTable) && complete(kEditBoxTable) && complete(kButtonTable) &&
              complete(kTimerTable), "every property number has a record");

// Menu items have no common properties: 0 caption, 1 check mark, 2 disabled,
// 3 visible. The runtime builds and answers them; they raise events.
const rt::PropertyRecord kMenuItemProperties[] = {OWN(1005), OWN(1003), OWN(1003), OWN(1003)};

#undef OWN
#undef COMMON_PROPERTIES

template <size_t N>
constexpr rt::TypeRecord componentType(const char* name, const char* english, uint32_t flags,
                                       const rt::PropertyRecord (&props)[N], rt::ComponentInterface iface) {
  return {name, english, nullptr, 0, nullptr, flags, 0, 0, nullptr, static_cast<int32_t>(N), props, iface, 0, nullptr};
}

}  // namespace

// Only the component types of this program and the menu item are real; the
// other type numbers keep their places with empty records.
const rt::TypeRecord kCoreTypes[51] = {
  componentType("窗口", "window", rt::kTypeFlagWindowComponent, kWindowTable.records, windowInterface),  // 1
  {},
  componentType("菜单", "Menu", rt::kTypeFlagComponent, kMenuItemProperties, nullptr),  // 3
  {},
  componentType("编辑框", "EditBox", rt::kTypeFlagWindowComponent, kEditBoxTable.records, editBoxInterface),  // 5
  {}, {}, {}, {}, {},
  componentType("按钮", "Button", rt::kTypeFlagWindowComponent | rt::kTypeFlagDefaultButton,
                kButtonTable.records, buttonInterface),  // 11
  {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
  {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
  componentType("时钟", "Timer", rt::kTypeFlagWindowComponent | rt::kTypeFlagNeverShown,
                kTimerTable.records, timerInterface),  // 32
  {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
  {}, {}, {}, {}, {}, {}, {}, {}, {},
};

namespace {

int32_t RT_CALL coreNotify(int32_t code, uint32_t p1, uint32_t p2) {
  switch (code) {
    case rt::kLibStart:
      setRuntimeNotify(reinterpret_cast<rt::NotifyFn>(p1));
      // The runtime sits below sound and plays through the calls it is handed.
      if (p1) runtimeNotify()(rt::kNotifySoundCalls, reinterpret_cast<uint32_t>(&snd::kSoundCalls), 0);
      return 0;
    case rt::kLibPreTranslate: {
      auto* obj = reinterpret_cast<rt::LiveObject*>(p1);
      return obj && obj->preTranslate ? obj->preTranslate(obj, reinterpret_cast<void*>(p2)) : 0;
    }
    case rt::kLibCreateObject:
    case rt::kLibDestroyObject:
      return 0;  // no core data type of this program has a runtime object
    case rt::kLibPlaySound: {
      auto* req = reinterpret_cast<const rt::PlaySoundRequest*>(p1);
      return req ? snd::PlaySoundData(req->data, req->size, req->loop) : 0;
    }
    default:
      return -1;
  }
}

}  // namespace
}  // namespace comp

const rt::LibraryRecord kCoreLibrary = {
  .formatVersion = 20000101,
  .identifier = "paginet-core-library",
  .major = 5, .minor = 7, .build = 64,
  .requiredMajor = 3, .requiredMinor = 7, .requiredMajor2 = 3, .requiredMinor2 = 7,
  .name = "系统核心支持库",
  .language = 1,
  .text44 = nullptr,
  .state = 0xC0000001,
  .texts = {},
  .typeCount = 51,
  .types = comp::kCoreTypes,
  .count92 = 0,
  .list96 = nullptr,
  .commandCount = 18,
  .ptr104 = nullptr,
  .commands = core::kCoreCommands,
  .null112 = {0, 0},
  .notify = comp::coreNotify,
  .reserved = {},
};
