// Device parameters a view reports to its pages (navigator and screen).
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace engine {

struct DeviceParams {
  std::optional<std::string> platform;
  std::optional<int> maxTouchPoints, hardwareConcurrency;
  std::optional<int> screenWidth, screenHeight, availWidth, availHeight;
};

// Applies one named parameter; false for names this engine does not know.
// Text values may be null; numeric names take the integer value.
bool setDeviceParam(DeviceParams& p, std::string_view name, const char* text, int number);

// A script that makes navigator/screen report the set values; run on every
// new document and once in the current one. "" when nothing is set.
std::string deviceScript(const DeviceParams& p);

}  // namespace engine
