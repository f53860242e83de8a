// One DevTools connection: commands matched to replies by id, events queued
// for delivery outside of waits. Transport-neutral; the Link supplies bytes.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

namespace engine {

using Json = nlohmann::json;

struct Reply {
  bool ok = false;
  Json result;        // the "result" member on success
  std::string error;  // protocol error message, or why no reply came
};

struct Event {
  std::string sessionId;  // "" for browser-level events
  std::string method;
  Json params;
};

struct Link {
  std::function<bool(const std::string&)> send;  // one text message; false when lost
  std::function<bool(int ms)> pump;  // waits up to ms, feeds Session::receive; false when lost
  std::function<uint64_t()> nowMs;
  std::function<void(const std::string&)> log;
  // Events that cannot wait for the end of a call: a paused navigation holds
  // back every reply from the page until it is answered. Optional.
  std::function<bool(const Event&)> urgent;
  std::function<void(const Event&)> deliver;
};

// Typed members of what the browser sent: the value of member key of j, or
// the default when j is no object, the member is missing or of another type.
// Nothing the browser sends makes them throw.
std::string stringField(const Json& j, const char* key);
bool boolField(const Json& j, const char* key, bool otherwise = false);
int64_t intField(const Json& j, const char* key, int64_t otherwise = 0);
// The member itself, or a null value.
const Json& member(const Json& j, const char* key);

class Session {
 public:
  explicit Session(Link link) : link_(std::move(link)) {}

  // Sends a command and waits at most timeoutMs for its reply. Events that
  // arrive meanwhile are queued, not delivered, except urgent ones.
  Reply call(const std::string& method, const Json& params = Json::object(),
             const std::string& sessionId = "", int timeoutMs = 5000);
  // Sends a command whose reply is collected later with take() or wait();
  // its id, or 0 when lost.
  int64_t request(const std::string& method, const Json& params = Json::object(),
                  const std::string& sessionId = "");
  // The reply to a request, when it has arrived.
  bool take(int64_t id, Reply& reply);
  // Waits at most timeoutMs for a request's reply, as call() does.
  Reply wait(int64_t id, const std::string& method, int timeoutMs);
  // No reply to that request is wanted any more.
  void forget(int64_t id);
  // Reads what has arrived, without waiting; delivers urgent events.
  void poll();
  // Whether a queued event matches.
  bool anyQueued(const std::function<bool(const Event&)>& match) const;
  // Sends without waiting; the reply is dropped. Returns false when lost.
  bool post(const std::string& method, const Json& params = Json::object(),
            const std::string& sessionId = "");

  // One complete text message from the browser. At most kMaxQueued events
  // wait for delivery: past that the oldest that need no answer go, and the
  // loss is logged.
  void receive(const std::string& text);
  // The same, parsed already; anything but an object is ignored.
  void receiveParsed(Json msg);
  static constexpr size_t kMaxQueued = 10000;

  // Takes the oldest queued event; false when none.
  bool nextEvent(Event& e);

  // Marks the connection gone; the first reason is logged, later ones not.
  void lose(const std::string& reason);
  bool lost() const { return lost_; }
  // Whether a wait() is on the stack: the session must outlive it.
  bool waiting() const { return depth_ > 0; }
  // Reads until the other side closes, at most ms; true once it has.
  bool drain(int ms);

 private:
  int64_t send(const std::string& method, const Json& params, const std::string& sessionId);
  void deliverUrgent();
  Link link_;
  int64_t nextId_ = 1;
  std::map<int64_t, Reply> replies_;  // arrived, not yet collected
  std::map<int64_t, bool> waiting_;   // ids whose replies are wanted
  std::deque<Event> events_;
  size_t overflow_ = 0;  // events dropped since the queue was last full
  bool lost_ = false;
  int depth_ = 0;  // wait() calls on the stack, nested ones included
};

}  // namespace engine
