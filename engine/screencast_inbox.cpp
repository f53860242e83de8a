#include "engine/screencast_inbox.h"

namespace engine {

bool ScreencastInbox::arrive(std::string& text) {
  ScreencastFrame f;
  if (!isScreencastFrame(text) || !readScreencastFrame(text, f)) return false;
  send_(screencastAck(nextAck_++, f));
  bool first;
  {
    std::lock_guard<std::mutex> lock(m_);
    first = frames_.empty();
    if (frames_.size() >= kKept) frames_.pop_front();
    frames_.push_back(std::move(f));
  }
  if (first && wake_) wake_();
  return true;
}

bool ScreencastInbox::next(ScreencastFrame& f) {
  std::lock_guard<std::mutex> lock(m_);
  if (frames_.empty()) return false;
  f = std::move(frames_.front());
  frames_.pop_front();
  return true;
}

}  // namespace engine
