// DevTools message text to JSON, and the screenshot command the views send.
#pragma once
#include <cstdint>
#include <string>
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

// A screencast frame read off the window thread: the page's session, the
// number its acknowledgement names, the picture in base64.
struct ScreencastFrame {
  std::string sessionId;
  int64_t ack = 0;
  std::string data;
};

// Whether text begins as the browser begins a screencast frame; cheap
// enough to ask of every message. One it begins otherwise takes the
// ordinary way, as an event.
bool isScreencastFrame(std::string_view text);
// The frame's members; false when text is no whole frame of a page session.
bool readScreencastFrame(std::string_view text, ScreencastFrame& out);
// The acknowledgement of a frame, as command id.
std::string screencastAck(int64_t id, const ScreencastFrame& f);

// Page.captureScreenshot parameters: lossless PNG, encoded for speed.
nlohmann::json screenshotParams();

}  // namespace engine
