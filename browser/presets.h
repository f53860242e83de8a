// Device presets: short names written into UserAgent stand for full texts.
#pragma once
#include <string_view>

namespace web {

// The user-agent text of the first preset whose name equals `value` byte
// for byte, or null when `value` is no preset name.
const char* presetUserAgent(std::string_view value);

}  // namespace web
