// Screencast frames taken where the socket is read, off the window thread:
// each is acknowledged at once, so the browser goes on sending, and only
// its picture waits for the window thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "engine/message.h"

namespace engine {

class ScreencastInbox {
 public:
  // send: a text to the browser, from the reading thread; wake: frames wait
  // and none did before.
  ScreencastInbox(std::function<bool(const std::string&)> send, std::function<void()> wake)
      : send_(std::move(send)), wake_(std::move(wake)) {}

  // On the reading thread: true when text was a frame, taken and
  // acknowledged; anything else is left as it is.
  bool arrive(std::string& text);
  // On the window thread: the oldest frame waiting; false when none.
  bool next(ScreencastFrame& f);

  // Frames kept for a window thread that is busy elsewhere: the newest,
  // each a picture of the whole page.
  static constexpr size_t kKept = 4;
  // The acknowledgements' command ids, far above the session's own, so
  // that no reply to one passes for the answer to a command.
  static constexpr int64_t kFirstAckId = int64_t{1} << 30;

 private:
  std::function<bool(const std::string&)> send_;
  std::function<void()> wake_;
  int64_t nextAck_ = kFirstAckId;  // the reading thread's own
  std::mutex m_;
  std::deque<ScreencastFrame> frames_;
};

}  // namespace engine
