// Messages parsed where the socket is read, off the window thread: a page's
// picture comes as megabytes of text, and parsing it there would keep the
// window from answering for as long.
#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

namespace engine {

class ParsedInbox {
 public:
  explicit ParsedInbox(std::function<void(const std::string&)> log) : log_(std::move(log)) {}

  // On the reading thread: keeps what text parses to and empties it, its
  // memory given back; the empty text goes on through the socket's queue
  // and stands for the message there.
  void arrive(std::string& text);
  // On the window thread, once for each text arrive() emptied, in order:
  // its message, or null when it was unreadable (and logged).
  nlohmann::json next();
  // For a new connection, while no reading thread runs: what the old one
  // left unread goes.
  void clear();

 private:
  std::function<void(const std::string&)> log_;
  std::mutex m_;
  std::deque<nlohmann::json> parsed_;
};

}  // namespace engine
