#include "components/core_library.h"
#include "components/components.h"
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

const rt::PropertyRecord kWindowProperties[] = {
  COMMON_PROPERTIES,
  OWN(1005), OWN(1006), OWN(1017), OWN(1009), OWN(1006), OWN(1012),  // 8-13
  OWN(1006), OWN(1003), OWN(1003), OWN(1003), OWN(1006), OWN(1003),  // 14-19
  OWN(1010), OWN(1003), OWN(1003), OWN(1003), OWN(1016), OWN(1001),  // 20-25
  OWN(1003), OWN(1003), OWN(1006), OWN(1003), OWN(1003), OWN(1005),  // 26-31
};
const rt::PropertyRecord kEditBoxProperties[] = {
  COMMON_PROPERTIES,
  OWN(1005), OWN(1006), OWN(1014), OWN(1017), OWN(1013), OWN(1003),  // 8-13
  OWN(1001), OWN(1003), OWN(1006), OWN(1006), OWN(1006), OWN(1005),  // 14-19
  OWN(1006), OWN(1006), OWN(1001), OWN(1001), OWN(1001), OWN(1001),  // 20-25
  OWN(1005), OWN(1018), OWN(1020),                                   // 26-28
};
const rt::PropertyRecord kButtonProperties[] = {
  COMMON_PROPERTIES,
  OWN(1009), OWN(1006), OWN(1005), OWN(1006), OWN(1006), OWN(1013),  // 8-13
};
const rt::PropertyRecord kTimerProperties[] = {
  COMMON_PROPERTIES,
  OWN(1001),  // 8 period
};

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
  componentType("窗口", "window", rt::kTypeFlagWindowComponent, kWindowProperties, windowInterface),  // 1
  {},
  componentType("菜单", "Menu", rt::kTypeFlagComponent, kMenuItemProperties, nullptr),  // 3
  {},
  componentType("编辑框", "EditBox", rt::kTypeFlagWindowComponent, kEditBoxProperties, editBoxInterface),  // 5
  {}, {}, {}, {}, {},
  componentType("按钮", "Button", rt::kTypeFlagWindowComponent | rt::kTypeFlagDefaultButton,
                kButtonProperties, buttonInterface),  // 11
  {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
  {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
  componentType("时钟", "Timer", rt::kTypeFlagWindowComponent | rt::kTypeFlagNeverShown,
                kTimerProperties, timerInterface),  // 32
  {}, {}, {}, {}, {}, {}, {}, {}, {}, {},
  {}, {}, {}, {}, {}, {}, {}, {}, {},
};

namespace {

int32_t RT_CALL coreNotify(int32_t code, uint32_t p1, uint32_t p2) {
  switch (code) {
    case rt::kLibStart:
      setRuntimeNotify(reinterpret_cast<rt::NotifyFn>(p1));
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
