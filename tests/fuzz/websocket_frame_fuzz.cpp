// Server byte streams through the frame reader: feeding them in pieces must
// give what feeding them whole gives, messages keep to the size limit, and
// every message encodes into a frame that reads back to it.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/websocket_frame.h"

namespace {

using engine::FrameReader;
using engine::WsEvent;

// Small, so fragments within one input can add up past it.
constexpr uint64_t kLimit = 300;

bool same(const std::vector<WsEvent>& a, const std::vector<WsEvent>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].kind != b[i].kind || a[i].data != b[i].data) return false;
  return true;
}

// A client frame made into a server one: mask bit and key taken out, the
// payload unmasked. Checks the client frame's own layout on the way.
std::string unmasked(const std::string& frame, const std::string& payload,
                     std::array<uint8_t, 4> mask) {
  const size_t n = payload.size();
  const size_t lengthBytes = n < 126 ? 0 : n <= 0xFFFF ? 2 : 8;
  const size_t head = 2 + lengthBytes;
  if (frame.size() != head + 4 + n || uint8_t(frame[0]) != 0x81 || !(frame[1] & 0x80))
    std::abort();
  uint64_t len = uint8_t(frame[1]) & 0x7F;
  if (lengthBytes) {
    if (len != (lengthBytes == 2 ? 126u : 127u)) std::abort();
    len = 0;
    for (size_t i = 0; i < lengthBytes; ++i) len = len << 8 | uint8_t(frame[2 + i]);
  }
  if (len != n) std::abort();
  std::string out = frame.substr(0, head);
  out[1] = char(out[1] & 0x7F);
  for (size_t i = 0; i < 4; ++i)
    if (uint8_t(frame[head + i]) != mask[i]) std::abort();
  for (size_t i = 0; i < n; ++i) out += char(frame[head + 4 + i] ^ mask[i & 3]);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const size_t step = data[0] % 16 + 1;
  const std::array<uint8_t, 4> mask = {data[1], data[2], data[3], data[4]};
  const std::string bytes(reinterpret_cast<const char*>(data) + 5, size - 5);

  FrameReader whole(kLimit);
  std::vector<WsEvent> all;
  whole.feed(bytes, all);
  FrameReader pieces(kLimit);
  std::vector<WsEvent> some;
  for (size_t i = 0; i < bytes.size(); i += step) {
    pieces.feed(std::string_view(bytes).substr(i, step), some);
    if (i % 3 == 0) pieces.feed({}, some);  // empty reads change nothing
  }
  if (!same(all, some) || whole.failed() != pieces.failed() || whole.error() != pieces.error() ||
      whole.dropped() != pieces.dropped())
    std::abort();

  size_t payload = 0;
  for (const WsEvent& e : all) {
    payload += e.data.size();
    if (e.kind == WsEvent::Message ? e.data.size() > kLimit : e.data.size() > 125) std::abort();
    if (e.kind != WsEvent::Message) continue;
    std::string frame = engine::encodeFrame(engine::Opcode::Text, e.data, mask);
    FrameReader again(kLimit);
    std::vector<WsEvent> back;
    again.feed(unmasked(frame, e.data, mask), back);
    if (again.failed() || back.size() != 1 || back[0].kind != WsEvent::Message ||
        back[0].data != e.data)
      std::abort();
  }
  if (payload > bytes.size()) std::abort();
  return 0;
}
