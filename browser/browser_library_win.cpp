#include "browser/browser_commands.h"
#include "browser/browser_library.h"
#include "browser/browser_view.h"
#include "browser/engine_loader.h"

namespace web {
namespace {

constexpr uint16_t kCommon = 0xE000;
constexpr uint16_t kOwn = 0x8000;
constexpr uint16_t kInt = 1001, kBool = 1003, kText = 1005, kPointer = 1011;

constexpr rt::PropertyRecord prop(uint16_t type, uint16_t flags) {
  return {nullptr, nullptr, nullptr, type, flags, nullptr};
}

const rt::PropertyRecord kViewProperties[] = {
    prop(kInt, kCommon),  prop(kInt, kCommon),  prop(kInt, kCommon),  prop(kInt, kCommon),
    prop(kText, kCommon), prop(kBool, kCommon), prop(kBool, kCommon), prop(kPointer, kCommon),
    prop(kText, kOwn),    // Url
    prop(kText, kOwn),    // Title
    prop(kBool, kOwn),    // DisableF5
    prop(kBool, kOwn),    // DisableCookies
    prop(kText, kOwn),    // LocalStoragePath
    prop(kText, kOwn),    // CookiePath
    prop(kText, kOwn),    // UserAgent
    prop(kBool, kOwn),    // DesignPreview
    prop(kBool, kOwn),    // AllowNewWindows
};

// Only WKE_TB (1) and the browser view (5) are used; the other type
// numbers keep their places with empty records.
const rt::TypeRecord kBrowserTypes[10] = {
    {"WKE_填表", "WKE_TB", nullptr, 0, nullptr, 0, 0, 0, nullptr, 0, nullptr, nullptr, 0, nullptr},
    {},
    {},
    {},
    {"VelmoWeb浏览器", "webkit", nullptr, 0, nullptr, rt::kTypeFlagWindowComponent, 0, 0, nullptr,
     int32_t(sizeof kViewProperties / sizeof kViewProperties[0]), kViewProperties,
     browserViewInterface, 0, nullptr},
    {},
    {},
    {},
    {},
    {},
};

}  // namespace
}  // namespace web

const rt::LibraryRecord kBrowserLibrary = {
    .formatVersion = 20000101,
    .identifier = "paginet-browser-library",
    .major = 1, .minor = 7, .build = 620,
    .requiredMajor = 3, .requiredMinor = 0, .requiredMajor2 = 3, .requiredMinor2 = 0,
    .name = "VelmoWeb浏览器支持库",
    .language = 1,
    .text44 = nullptr,
    .state = 0xE0000000,
    .texts = {},
    .typeCount = 10,
    .types = web::kBrowserTypes,
    .count92 = 0,
    .list96 = nullptr,
    .commandCount = web::kBrowserCommandCount,
    .ptr104 = nullptr,
    .commands = web::kBrowserCommands,
    .null112 = {0, 0},
    .notify = web::libraryNotify,
    .reserved = {},
};
