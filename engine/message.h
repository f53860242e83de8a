// DevTools message text to JSON, and the screenshot command the views send.
#pragma once
#include <string_view>

#include <nlohmann/json.hpp>

namespace engine {

// Parses one message from the browser; false when it is not JSON.
bool parseMessage(std::string_view text, nlohmann::json& out);

// Page.captureScreenshot parameters: lossless PNG, encoded for speed.
nlohmann::json screenshotParams();

}  // namespace engine
