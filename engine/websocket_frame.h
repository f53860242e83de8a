// WebSocket client framing: masked frames out, reassembled messages in.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class Opcode : uint8_t { Continuation = 0, Text = 1, Binary = 2, Close = 8, Ping = 9, Pong = 10 };

// One FIN frame with the client mask applied (clients must mask).
std::string encodeFrame(Opcode op, std::string_view payload, std::array<uint8_t, 4> mask);

struct WsEvent {
  enum Kind { Message, Ping, Pong, Close } kind;
  std::string data;  // message or control payload
};

// Largest message taken: a 32-bit process holds a message several times
// over while it reads it (frames, the whole, the parsed value, the picture).
constexpr uint64_t kMaxMessage = 64u << 20;

// Feeds bytes from the server and returns complete messages and control
// frames. Reassembles fragments and lets control frames interleave.
// A message longer than maxMessage is passed over as it arrives, never
// held, and counted in dropped(); the connection goes on.
// A protocol violation sets failed() for good; the reason says which.
class FrameReader {
 public:
  explicit FrameReader(uint64_t maxMessage = kMaxMessage) : maxMessage_(maxMessage) {}
  void feed(std::string_view bytes, std::vector<WsEvent>& out);
  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  uint64_t dropped() const { return dropped_; }

 private:
  bool parseOne(std::vector<WsEvent>& out);
  std::string buffer_;
  size_t pos_ = 0;
  std::string partial_;
  bool inMessage_ = false;
  uint64_t maxMessage_;
  bool skipping_ = false;  // the message under way is too long: its frames are passed over
  uint64_t skipLeft_ = 0;  // bytes of the current frame still to pass over
  bool skipFin_ = false;   // that frame ends its message
  uint64_t dropped_ = 0;
  std::string error_;
};

}  // namespace engine
