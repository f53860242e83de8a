// DevTools messages from the browser, one a line, arriving while a command
// waits. The reply is one the browser sent with the command's id, events keep
// their order (urgent ones delivered, the rest queued), unwanted replies are
// dropped, and nothing the browser sends throws out of the session, nor out
// of what a view reads of each event before acting on it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/jar.h"
#include "engine/message.h"
#include "engine/page_events.h"
#include "engine/page_notices.h"
#include "engine/script.h"
#include "engine/session.h"

namespace {

using engine::Event;
using engine::Json;

bool urgent(const Event& e) { return e.method == "Fetch.requestPaused"; }

struct Expected {
  std::vector<Json> replies;  // every message with id 1
  std::vector<Event> urgent, queued;
};

// What the messages should come to, reading each on its own.
Expected expect(const std::vector<std::string>& lines) {
  Expected x;
  for (const std::string& line : lines) {
    Json msg;
    if (!engine::parseMessage(line, msg) || !msg.is_object()) continue;
    if (msg.contains("id") && msg["id"].is_number_integer()) {
      if (msg["id"].get<int64_t>() == 1) x.replies.push_back(msg);
      continue;
    }
    if (!msg.contains("method") || !msg["method"].is_string()) continue;
    Event e;
    e.method = msg["method"];
    if (msg.contains("sessionId") && msg["sessionId"].is_string()) e.sessionId = msg["sessionId"];
    if (msg.contains("params")) e.params = msg["params"];
    (urgent(e) ? x.urgent : x.queued).push_back(e);
  }
  return x;
}

bool same(const Event& a, const Event& b) {
  return a.method == b.method && a.sessionId == b.sessionId && a.params == b.params;
}

void checkScript(const Json& result) {
  engine::ScriptResult r = engine::readScriptResult(result);
  if (r.ok != r.error.empty()) std::abort();
  Json quoted = Json::parse(engine::jsonQuote(r.text), nullptr, false);
  if (!quoted.is_string()) std::abort();
}

// A view answers every pause and acknowledges every frame, whatever their
// fields hold, and passes on only text it can send back as JSON.
void checkPageEvent(const Event& e) {
  using engine::PageEvent;
  PageEvent ev = engine::readPageEvent(e);
  if (e.method == "Fetch.requestPaused" && ev.kind != PageEvent::Paused) std::abort();
  if (e.method == "Page.screencastFrame" && ev.kind != PageEvent::Frame) std::abort();
  if (ev.kind == PageEvent::Paused && e.params.is_object() && e.params.contains("requestId") &&
      e.params["requestId"].is_string() && ev.request.id != e.params["requestId"].get<std::string>())
    std::abort();
  if (ev.kind == PageEvent::Storage && (ev.storageOrigin.empty() || !ev.storageId.is_object())) std::abort();
  Json passed = {ev.url, ev.frameData, ev.console.message, ev.console.source, ev.console.stack, ev.dialog.type,
                 ev.dialog.message, ev.dialog.defaultPrompt, ev.binding.name, ev.binding.payload,
                 ev.request.errorText, ev.storageOrigin};
  (void)passed.dump();  // throws on text that is not UTF-8
  (void)engine::readPageNotice(ev.binding.payload);
  (void)engine::readWindowFeatures(ev.features);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  std::string all(reinterpret_cast<const char*>(data), size);
  for (size_t start = 0; start <= all.size();) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    lines.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& line : lines) {
    const std::string fixed = engine::fixLoneSurrogates(line);
    // Same length (one six-byte escape for another), settled after one pass,
    // and JSON the parser already takes is left alone (the parser ends its
    // input at a NUL byte, so only lines without one count).
    if (fixed.size() != line.size() || engine::fixLoneSurrogates(fixed) != fixed) std::abort();
    if (line.find('\0') == std::string::npos && Json::accept(line) && fixed != line) std::abort();
  }

  std::vector<std::string> sent;
  std::vector<Event> delivered;
  uint64_t now = 0;
  bool fed = false;
  engine::Session* session = nullptr;
  engine::Link link;
  link.send = [&](const std::string& t) { sent.push_back(t); return true; };
  link.pump = [&](int ms) {
    if (!fed) {
      fed = true;
      for (const std::string& line : lines) session->receive(line);
    } else {
      now += uint64_t(ms);
    }
    return true;
  };
  link.nowMs = [&] { return now; };
  link.log = [](const std::string&) {};
  link.urgent = urgent;
  link.deliver = [&](const Event& e) { delivered.push_back(e); };
  engine::Session s(link);
  session = &s;

  const Expected x = expect(lines);
  engine::Reply r = s.call("Runtime.evaluate", {{"expression", "1"}}, "S1", 50);
  if (sent.size() != 1) std::abort();
  Json out = Json::parse(sent[0]);
  if (out["id"] != 1 || out["method"] != "Runtime.evaluate" || out["sessionId"] != "S1") std::abort();

  if (r.ok && !r.error.empty()) std::abort();
  if (x.replies.empty()) {
    if (r.ok || now < 50) std::abort();  // waited out the whole timeout
  } else {
    bool matched = false;
    for (const Json& reply : x.replies) {
      if (reply.contains("error")) {
        // The browser's message when it gave one.
        const Json& err = reply["error"];
        const bool named = err.is_object() && err.contains("message") && err["message"].is_string();
        matched = matched || (!r.ok && (!named || r.error == err["message"].get<std::string>()));
      } else {
        matched = matched || (r.ok && r.result == (reply.contains("result") ? reply["result"] : Json()));
      }
    }
    if (!matched) std::abort();
    if (r.ok) checkScript(r.result);
  }

  if (delivered.size() != x.urgent.size()) std::abort();
  for (size_t i = 0; i < delivered.size(); ++i) {
    if (!same(delivered[i], x.urgent[i])) std::abort();
    checkPageEvent(delivered[i]);
  }
  Event e;
  for (const Event& want : x.queued) {
    if (!s.nextEvent(e) || !same(e, want)) std::abort();
    checkPageEvent(e);
  }
  if (s.nextEvent(e)) std::abort();

  // Replies to ids nobody waited for were not kept: the next call, id 2,
  // gets no answer even if the lines held one for it.
  if (s.call("Page.enable", Json::object(), "", 10).ok || s.lost()) std::abort();
  return 0;
}
