#include "engine/websocket_frame.h"

#include <algorithm>

namespace engine {

std::string encodeFrame(Opcode op, std::string_view payload, std::array<uint8_t, 4> mask) {
  std::string f;
  f.reserve(payload.size() + 14);
  f += static_cast<char>(0x80 | static_cast<uint8_t>(op));
  uint64_t n = payload.size();
  if (n < 126) {
    f += static_cast<char>(0x80 | n);
  } else if (n <= 0xFFFF) {
    f += static_cast<char>(0x80 | 126);
    f += static_cast<char>(n >> 8);
    f += static_cast<char>(n & 0xFF);
  } else {
    f += static_cast<char>(0x80 | 127);
    for (int i = 7; i >= 0; --i) f += static_cast<char>((n >> (8 * i)) & 0xFF);
  }
  for (uint8_t m : mask) f += static_cast<char>(m);
  for (size_t i = 0; i < payload.size(); ++i)
    f += static_cast<char>(static_cast<uint8_t>(payload[i]) ^ mask[i & 3]);
  return f;
}

void FrameReader::feed(std::string_view bytes, std::vector<WsEvent>& out) {
  if (failed()) return;
  buffer_.append(bytes);
  while (!failed() && parseOne(out)) {}
  // Drop consumed bytes now and then, not on every frame.
  if (pos_ > 65536 || pos_ == buffer_.size()) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
}

bool FrameReader::parseOne(std::vector<WsEvent>& out) {
  size_t avail = buffer_.size() - pos_;
  if (skipLeft_) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(avail, skipLeft_));
    pos_ += n;
    skipLeft_ -= n;
    if (skipLeft_) return false;
    if (skipFin_) skipping_ = inMessage_ = false;
    return true;
  }
  if (avail < 2) return false;
  const auto* p = reinterpret_cast<const uint8_t*>(buffer_.data() + pos_);
  bool fin = p[0] & 0x80;
  if (p[0] & 0x70) { error_ = "reserved bits set"; return false; }
  uint8_t op = p[0] & 0x0F;
  bool masked = p[1] & 0x80;
  uint64_t len = p[1] & 0x7F;
  size_t head = 2;
  if (len == 126) {
    if (avail < 4) return false;
    len = (uint64_t(p[2]) << 8) | p[3];
    head = 4;
  } else if (len == 127) {
    if (avail < 10) return false;
    len = 0;
    for (int i = 0; i < 8; ++i) len = (len << 8) | p[2 + i];
    head = 10;
    if (len >> 63) { error_ = "length out of range"; return false; }
  }
  if (masked) { error_ = "server frames must not be masked"; return false; }
  bool control = op >= 8;
  if (control && (!fin || len > 125)) { error_ = "bad control frame"; return false; }
  if (!control && op != 0 && op != 1 && op != 2) { error_ = "unknown opcode"; return false; }
  if (control && op != 8 && op != 9 && op != 10) { error_ = "unknown opcode"; return false; }
  if (op == 0 && !inMessage_) { error_ = "continuation without a message"; return false; }
  if ((op == 1 || op == 2) && inMessage_) { error_ = "new message inside a fragmented one"; return false; }
  if (!control && (skipping_ || partial_.size() + len > maxMessage_)) {
    if (!skipping_) ++dropped_;
    skipping_ = inMessage_ = true;
    partial_ = std::string();
    pos_ += head;
    skipLeft_ = len;
    skipFin_ = fin;
    if (!len && fin) skipping_ = inMessage_ = false;
    return true;
  }
  if (avail - head < len) return false;
  std::string_view payload(buffer_.data() + pos_ + head, static_cast<size_t>(len));
  pos_ += head + static_cast<size_t>(len);
  if (control) {
    WsEvent::Kind k = op == 8 ? WsEvent::Close : op == 9 ? WsEvent::Ping : WsEvent::Pong;
    out.push_back({k, std::string(payload)});
    return true;
  }
  partial_.append(payload);
  inMessage_ = !fin;
  if (fin) {
    out.push_back({WsEvent::Message, std::move(partial_)});
    partial_.clear();
  }
  return true;
}

}  // namespace engine
