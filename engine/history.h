// The page's session history and load state as the engine's exports tell them.
#pragma once
#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

namespace engine {

// Page.getNavigationHistory's answer: entry ids oldest first, and the index
// of the one shown (-1 when there is none or the answer was unreadable).
struct NavHistory {
  std::vector<int> ids;
  int current = -1;

  static NavHistory read(const nlohmann::json& result);
  // The entry id offset steps from the current one, or 0 when there is none.
  int idAt(int offset) const { return idOfIndex(int64_t{current} + offset); }
  int idOfIndex(int64_t index) const;
};

// Where the main frame's load stands.
class LoadState {
 public:
  void started() { *this = LoadState(); loading_ = true; }
  void documentReady() { ready_ = true; }
  // The load ended: the page loaded, or it failed (the error page shows).
  void finished(bool failed) {
    loading_ = false;
    completed_ = true;
    failed_ = failed;
  }
  void stopped() { loading_ = false; }
  bool loading() const { return loading_; }
  bool ready() const { return ready_; }
  bool completed() const { return completed_; }
  bool succeeded() const { return completed_ && !failed_; }
  bool failed() const { return failed_; }

 private:
  bool loading_ = false, ready_ = false, completed_ = false, failed_ = false;
};

}  // namespace engine
