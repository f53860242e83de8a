#include "engine/session.h"

#include <algorithm>

#include "engine/message.h"

namespace engine {

std::string stringField(const Json& j, const char* key) {
  const Json& m = member(j, key);
  return m.is_string() ? m.get<std::string>() : std::string();
}

bool boolField(const Json& j, const char* key, bool otherwise) {
  const Json& m = member(j, key);
  return m.is_boolean() ? m.get<bool>() : otherwise;
}

int64_t intField(const Json& j, const char* key, int64_t otherwise) {
  const Json& m = member(j, key);
  return m.is_number_integer() ? m.get<int64_t>() : otherwise;
}

const Json& member(const Json& j, const char* key) {
  static const Json none;
  if (!j.is_object()) return none;
  auto it = j.find(key);
  return it != j.end() ? *it : none;
}

int64_t Session::send(const std::string& method, const Json& params, const std::string& sessionId) {
  if (lost_) return 0;
  Json msg = {{"id", nextId_}, {"method", method}, {"params", params}};
  if (!sessionId.empty()) msg["sessionId"] = sessionId;
  std::string text = msg.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (!link_.send(text)) {
    lose("send failed for " + method);
    return 0;
  }
  return nextId_++;
}

bool Session::post(const std::string& method, const Json& params, const std::string& sessionId) {
  return send(method, params, sessionId) != 0;
}

int64_t Session::request(const std::string& method, const Json& params, const std::string& sessionId) {
  int64_t id = send(method, params, sessionId);
  if (id) waiting_[id] = true;
  return id;
}

bool Session::take(int64_t id, Reply& reply) {
  auto it = replies_.find(id);
  if (it == replies_.end()) return false;
  reply = std::move(it->second);
  replies_.erase(it);
  waiting_.erase(id);
  return true;
}

void Session::forget(int64_t id) {
  waiting_.erase(id);
  replies_.erase(id);
}

void Session::poll() {
  if (!lost_ && !link_.pump(0)) lose("connection closed");
  deliverUrgent();
}

bool Session::anyQueued(const std::function<bool(const Event&)>& match) const {
  return std::any_of(events_.begin(), events_.end(), match);
}

Reply Session::call(const std::string& method, const Json& params, const std::string& sessionId,
                    int timeoutMs) {
  int64_t id = request(method, params, sessionId);
  if (!id) return Reply{false, {}, "connection lost"};
  return wait(id, method, timeoutMs);
}

Reply Session::wait(int64_t id, const std::string& method, int timeoutMs) {
  Reply r;
  uint64_t deadline = link_.nowMs() + static_cast<uint64_t>(timeoutMs);
  struct Depth {
    int& n;
    explicit Depth(int& d) : n(++d) {}
    ~Depth() { --n; }
  } onStack(depth_);
  // A reply forgotten meanwhile (by a handler of what came in the wait) is
  // not waited for.
  while (!replies_.count(id) && waiting_.count(id) && !lost_) {
    uint64_t now = link_.nowMs();
    if (now >= deadline) break;
    if (!link_.pump(static_cast<int>(deadline - now))) lose("connection closed");
    deliverUrgent();
  }
  if (take(id, r)) return r;
  if (!waiting_.erase(id)) {
    r.error = "no reply wanted any more";
    return r;
  }
  r.error = lost_ ? "connection lost" : "no reply to " + method + " in time";
  if (!lost_ && link_.log) link_.log(r.error);
  return r;
}

void Session::receive(const std::string& text) {
  Json msg;
  if (!parseMessage(text, msg)) {
    if (link_.log) link_.log("unreadable message: " + std::string(text.substr(0, 80)));
    return;
  }
  receiveParsed(std::move(msg));
}

void Session::receiveParsed(Json msg) {
  if (!msg.is_object()) return;
  if (auto id = msg.find("id"); id != msg.end() && id->is_number_integer()) {
    int64_t n = id->get<int64_t>();
    if (!waiting_.count(n)) return;  // posted commands: nobody wants the answer
    Reply r;
    if (auto err = msg.find("error"); err != msg.end()) {
      r.error = err->is_object() && err->contains("message") && (*err)["message"].is_string()
                    ? (*err)["message"].get<std::string>()
                    : "protocol error";
    } else {
      r.ok = true;
      if (msg.contains("result")) r.result = std::move(msg["result"]);
    }
    replies_[n] = std::move(r);
    return;
  }
  auto m = msg.find("method");
  if (m == msg.end() || !m->is_string()) return;
  Event e;
  e.method = m->get<std::string>();
  if (auto s = msg.find("sessionId"); s != msg.end() && s->is_string()) e.sessionId = s->get<std::string>();
  if (auto p = msg.find("params"); p != msg.end()) e.params = std::move(*p);
  // A page that floods events while the program waits must not use up the
  // memory of a 32-bit process.
  if (events_.size() >= kMaxQueued) {
    if (!overflow_++ && link_.log) link_.log("events arrive faster than they are served; the oldest are dropped");
    // Never one that must be answered.
    auto oldest = link_.urgent ? std::find_if_not(events_.begin(), events_.end(), link_.urgent) : events_.begin();
    if (oldest != events_.end()) events_.erase(oldest);
  } else {
    overflow_ = 0;
  }
  events_.push_back(std::move(e));
}

// Outside the pump, so a handler may itself call; one at a time, since it
// may change the queue.
void Session::deliverUrgent() {
  if (!link_.urgent || !link_.deliver) return;
  for (;;) {
    auto it = std::find_if(events_.begin(), events_.end(), link_.urgent);
    if (it == events_.end()) return;
    Event e = std::move(*it);
    events_.erase(it);
    link_.deliver(e);
  }
}

bool Session::nextEvent(Event& e) {
  if (events_.empty()) return false;
  e = std::move(events_.front());
  events_.pop_front();
  return true;
}

bool Session::drain(int ms) {
  uint64_t deadline = link_.nowMs() + static_cast<uint64_t>(ms);
  for (uint64_t now = link_.nowMs(); !lost_ && now < deadline; now = link_.nowMs())
    if (!link_.pump(static_cast<int>(deadline - now))) lose("connection closed");
  return lost_;
}

void Session::lose(const std::string& reason) {
  if (lost_) return;
  lost_ = true;
  if (link_.log) link_.log("DevTools connection lost: " + reason);
}

}  // namespace engine
