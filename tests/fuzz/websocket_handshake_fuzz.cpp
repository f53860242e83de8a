// The opening handshake pieces on arbitrary text: base64 round trips, the
// header end is the first blank line, an HTTP body once complete stays the
// same as more bytes arrive, and a proper 101 answer is always accepted.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "engine/base64.h"
#include "engine/websocket_handshake.h"

namespace {

void checkBase64(const std::string& bytes) {
  const std::string text = engine::base64Encode(bytes);
  std::string back;
  if (text.size() != (bytes.size() + 2) / 3 * 4 || !engine::base64Decode(text, back) ||
      back != bytes)
    std::abort();
  if (!engine::base64Decode(bytes, back)) return;
  size_t pad = 0;
  while (pad < bytes.size() && bytes[bytes.size() - 1 - pad] == '=') ++pad;
  if (pad > 2 || back.size() != bytes.size() / 4 * 3 - pad) std::abort();
  // Re-encoding gives the same text, but for unused bits of the last group.
  const std::string again = engine::base64Encode(back);
  if (again.size() != bytes.size() ||
      again.compare(0, again.size() < 4 ? 0 : again.size() - 4, bytes, 0,
                    bytes.size() < 4 ? 0 : bytes.size() - 4) != 0)
    std::abort();
}

void checkHeaders(const std::string& data, const std::string& key) {
  const size_t n = engine::headerLength(data);
  const size_t blank = data.find("\r\n\r\n");
  if (n != (blank == std::string::npos ? 0 : blank + 4)) std::abort();

  if (engine::upgradeAccepted(data, key) &&
      data.find(engine::acceptFor(key)) == std::string::npos)
    std::abort();
  const std::string answer = "HTTP/1.1 101 Switching Protocols\r\nUpgrade: WebSocket\r\n"
                             "Sec-WebSocket-Accept: " + engine::acceptFor(key) + "\r\n\r\n";
  if (!engine::upgradeAccepted(answer, key)) std::abort();

  // Every prefix that completes a body gives the body the whole text gives.
  std::string body, full;
  bool complete = false, fullComplete = false;
  const bool fullOk = engine::httpBody(data, full, fullComplete);
  for (size_t cut = 0; cut <= data.size(); cut += 1 + data.size() / 16) {
    if (!engine::httpBody(data.substr(0, cut), body, complete) || !complete) continue;
    if (!fullOk || !fullComplete || body != full) std::abort();
    if (body != data.substr(n, body.size())) std::abort();
  }
  if (fullOk && !fullComplete && full != data.substr(n)) std::abort();

  const bool plain = key.find('\r') == std::string::npos && key.find('\n') == std::string::npos;
  const std::string request = engine::upgradeRequest("127.0.0.1", 9222, "/devtools/browser/x", key);
  if (plain && engine::headerLength(request) != request.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string key = in.ConsumeRandomLengthString(32);
  const std::string text = in.ConsumeRemainingBytesAsString();
  checkBase64(key);
  checkBase64(text);
  checkHeaders(text, key);
  return 0;
}
