// DevTools message text to JSON, and the screenshot command the views send.
#pragma once
#include <string_view>

#include <nlohmann/json.hpp>

namespace engine {

// Deepest nesting of arrays and objects a message or kept line may have:
// copying or writing a value recurses once per level, and a 32-bit thread's
// stack ends long before such a text would.
constexpr int kMaxNesting = 128;

// How deep text nests arrays and objects (strings skipped); stops counting
// past limit.
int nestingDepth(std::string_view text, int limit = kMaxNesting);

// Parses one message from the browser; false when it is not JSON or nests
// deeper than kMaxNesting.
bool parseMessage(std::string_view text, nlohmann::json& out);

// Page.captureScreenshot parameters: lossless PNG, encoded for speed.
nlohmann::json screenshotParams();

}  // namespace engine
