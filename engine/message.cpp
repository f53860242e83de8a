#include "engine/message.h"

#include <algorithm>

#include "engine/script.h"

namespace engine {
namespace {

// Replies and events whose bulk is one base64 string, by how the browser
// begins them: a screenshot's result.data and a screencast frame's
// params.data. Parsing megabytes into a JSON string costs more than the
// rest of the message together, so that string is cut out and put back.
struct Bulk {
  const char* head;      // the message text up to the string's first byte
  bool digitsAfterHead;  // the head is `{"id":` + digits + the rest
  const char* rest;
  const char* holder;    // the member holding the object with "data"
};
const char kFrameHead[] = "{\"method\":\"Page.screencastFrame\",\"params\":{\"data\":\"";
const Bulk kBulks[] = {
    {"{\"id\":", true, ",\"result\":{\"data\":\"", "result"},
    {kFrameHead, false, "", "params"},
};
constexpr size_t kBulkFrom = 64 * 1024;

// Offset of the data string's first byte when `text` begins as `b` does, else 0.
size_t bulkStart(std::string_view text, const Bulk& b) {
  std::string_view head(b.head);
  if (text.substr(0, head.size()) != head) return 0;
  size_t at = head.size();
  if (b.digitsAfterHead) {
    size_t digits = at;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == at || text.substr(digits, std::string_view(b.rest).size()) != b.rest) return 0;
    at = digits + std::string_view(b.rest).size();
  }
  return at;
}

// End of a string that needs no decoding (printable ASCII, no escape) whose
// first byte is at `from`: the offset of its closing quote, or npos.
size_t plainStringEnd(std::string_view s, size_t from) {
  for (size_t i = from; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '"') return i;
    if (c == '\\' || c < 0x20 || c >= 0x80) break;
  }
  return std::string_view::npos;
}

bool parseSmall(std::string_view text, nlohmann::json& out) {
  if (nestingDepth(text) > kMaxNesting) return false;
  // Only a \u escape can be a lone surrogate; most messages have none.
  if (text.find("\\u") == std::string_view::npos) out = nlohmann::json::parse(text, nullptr, false);
  else out = nlohmann::json::parse(fixLoneSurrogates(text), nullptr, false);
  return !out.is_discarded();
}

}  // namespace

int nestingDepth(std::string_view text, int limit) {
  int depth = 0, deepest = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
      if (deepest > limit) break;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

bool parseMessage(std::string_view text, nlohmann::json& out) {
  if (text.size() >= kBulkFrom) {
    for (const Bulk& b : kBulks) {
      const size_t start = bulkStart(text, b);
      const size_t end = start ? plainStringEnd(text, start) : std::string_view::npos;
      if (end == std::string_view::npos) continue;
      std::string rest(text.substr(0, start));
      rest.append(text.substr(end));
      if (!parseSmall(rest, out)) return false;
      auto holder = out.find(b.holder);
      if (holder == out.end() || !holder->is_object()) break;
      auto data = holder->find("data");
      // A later "data" member of the same object would have replaced ours.
      if (data == holder->end() || !data->is_string() || !data->get_ref<const std::string&>().empty()) break;
      *data = std::string(text.substr(start, end - start));
      return true;
    }
  }
  return parseSmall(text, out);
}

bool isScreencastFrame(std::string_view text) { return text.substr(0, sizeof kFrameHead - 1) == kFrameHead; }

bool readScreencastFrame(std::string_view text, ScreencastFrame& out) {
  nlohmann::json msg;
  if (!isScreencastFrame(text) || !parseMessage(text, msg) || !msg.is_object()) return false;
  auto session = msg.find("sessionId");
  auto params = msg.find("params");
  if (session == msg.end() || !session->is_string() || params == msg.end() || !params->is_object()) return false;
  auto data = params->find("data");
  auto ack = params->find("sessionId");
  if (data == params->end() || !data->is_string() || ack == params->end() || !ack->is_number_integer()) return false;
  out.sessionId = session->get<std::string>();
  out.ack = ack->get<int64_t>();
  out.data = std::move(data->get_ref<std::string&>());
  return true;
}

std::string screencastAck(int64_t id, const ScreencastFrame& f) {
  return nlohmann::json{{"id", id}, {"method", "Page.screencastFrameAck"}, {"params", {{"sessionId", f.ack}}},
                        {"sessionId", f.sessionId}}
      .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

nlohmann::json screenshotParams() {
  // The fast PNG effort trades size for encoding time; still lossless.
  return {{"format", "png"}, {"optimizeForSpeed", true}};
}

}  // namespace engine
