#include "engine/parsed_inbox.h"

#include "engine/message.h"

namespace engine {

void ParsedInbox::arrive(std::string& text) {
  nlohmann::json msg;
  if (!parseMessage(text, msg)) {
    if (log_) log_("unreadable message: " + text.substr(0, 80));
    msg = nullptr;
  }
  std::string().swap(text);
  std::lock_guard<std::mutex> lock(m_);
  parsed_.push_back(std::move(msg));
}

nlohmann::json ParsedInbox::next() {
  std::lock_guard<std::mutex> lock(m_);
  if (parsed_.empty()) return nullptr;
  nlohmann::json msg = std::move(parsed_.front());
  parsed_.pop_front();
  return msg;
}

void ParsedInbox::clear() {
  std::lock_guard<std::mutex> lock(m_);
  parsed_.clear();
}

}  // namespace engine
