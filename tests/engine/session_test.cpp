#include "engine/session.h"

#include <gtest/gtest.h>

namespace {

using engine::Json;
using engine::Session;

// A scripted browser: answers sent commands from a table on the next pump.
struct FakeBrowser {
  std::vector<Json> sent;
  std::vector<std::string> logs;
  std::vector<std::string> toDeliver;  // delivered on the next pump
  uint64_t now = 0;
  bool alive = true;
  bool answer = true;
  Session* session = nullptr;

  engine::Link link() {
    engine::Link l;
    l.send = [this](const std::string& t) {
      if (!alive) return false;
      sent.push_back(Json::parse(t));
      return true;
    };
    // Time passes only when nothing arrives.
    l.pump = [this](int ms) {
      if (!alive) return false;
      std::vector<std::string> now_due;
      now_due.swap(toDeliver);
      for (auto& m : now_due) session->receive(m);
      if (answer && !sent.empty()) {
        const Json& last = sent.back();
        session->receive(R"({"method":"Page.loadEventFired","params":{"timestamp":1}})");
        session->receive(Json{{"id", last["id"]}, {"result", {{"echo", last["method"]}}}}.dump());
      } else if (now_due.empty()) {
        now += ms;
      }
      return true;
    };
    l.nowMs = [this] { return now; };
    l.log = [this](const std::string& s) { logs.push_back(s); };
    return l;
  }
};

TEST(Session, MatchesRepliesAndQueuesEvents) {
  FakeBrowser fb;
  Session s(fb.link());
  fb.session = &s;
  fb.toDeliver.push_back(R"({"id":999,"result":{}})");  // nobody asked for this one
  auto r = s.call("Page.navigate", {{"url", "http://127.0.0.1/"}}, "S1");
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.result["echo"], "Page.navigate");
  ASSERT_EQ(fb.sent.size(), 1u);
  EXPECT_EQ(fb.sent[0]["sessionId"], "S1");
  EXPECT_EQ(fb.sent[0]["params"]["url"], "http://127.0.0.1/");
  auto r2 = s.call("Runtime.enable");
  EXPECT_TRUE(r2.ok);
  EXPECT_FALSE(fb.sent[1].contains("sessionId"));
  EXPECT_NE(fb.sent[0]["id"], fb.sent[1]["id"]);
  engine::Event e;
  int events = 0;
  while (s.nextEvent(e)) {
    EXPECT_EQ(e.method, "Page.loadEventFired");
    ++events;
  }
  EXPECT_EQ(events, 2);
}

// A paused navigation holds back the reply; answering it during the wait,
// even with a nested call, lets the reply come.
TEST(Session, UrgentEventsAreDeliveredDuringAWait) {
  FakeBrowser fb;
  fb.answer = false;
  std::vector<std::string> delivered;
  engine::Link l = fb.link();
  l.urgent = [](const engine::Event& e) { return e.method == "Fetch.requestPaused"; };
  l.deliver = [&](const engine::Event& e) {
    delivered.push_back(e.params["requestId"]);
    fb.toDeliver.push_back(R"({"id":2,"result":{}})");
    EXPECT_TRUE(fb.session->call("Fetch.continueRequest", {{"requestId", e.params["requestId"]}}).ok);
    fb.toDeliver.push_back(R"({"id":1,"result":{"value":7}})");
  };
  Session s(l);
  fb.session = &s;
  fb.toDeliver.push_back(R"({"method":"Page.frameStartedLoading","params":{}})");
  fb.toDeliver.push_back(R"({"method":"Fetch.requestPaused","params":{"requestId":"R1"}})");
  auto r = s.call("Runtime.evaluate", Json::object(), "S1", 1000);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.result["value"], 7);
  EXPECT_EQ(delivered, std::vector<std::string>{"R1"});
  ASSERT_EQ(fb.sent.size(), 2u);
  EXPECT_EQ(fb.sent[1]["method"], "Fetch.continueRequest");
  engine::Event e;
  ASSERT_TRUE(s.nextEvent(e));  // the ordinary event stays queued
  EXPECT_EQ(e.method, "Page.frameStartedLoading");
  EXPECT_FALSE(s.nextEvent(e));
}

// The connection replaces a session only when none of its waits is on the
// stack: an application routine run from an urgent event may find the
// browser gone, and the outer wait still has to return through this object.
TEST(Session, TellsWhileAWaitIsOnTheStack) {
  FakeBrowser fb;
  fb.answer = false;
  std::vector<bool> seen;  // waiting() in the handler: before, after a nested call, after the loss
  engine::Link l = fb.link();
  l.urgent = [](const engine::Event& e) { return e.method == "Page.javascriptDialogOpening"; };
  l.deliver = [&](const engine::Event&) {
    seen.push_back(fb.session->waiting());
    fb.toDeliver.push_back(R"({"id":2,"result":{}})");
    fb.session->call("Page.handleJavaScriptDialog");
    seen.push_back(fb.session->waiting());
    fb.alive = false;  // the browser dies while the routine runs
    fb.session->poll();
    seen.push_back(fb.session->waiting());
  };
  Session s(l);
  fb.session = &s;
  EXPECT_FALSE(s.waiting());
  fb.toDeliver.push_back(R"({"method":"Page.javascriptDialogOpening","params":{}})");
  auto r = s.call("Runtime.evaluate", Json::object(), "S1", 1000);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "connection lost");
  EXPECT_EQ(seen, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(s.waiting());
  EXPECT_TRUE(s.drain(1000));
}

TEST(Session, ReportsProtocolErrorsAndTimeouts) {
  FakeBrowser fb;
  fb.answer = false;
  Session s(fb.link());
  fb.session = &s;
  fb.toDeliver.push_back(R"({"id":1,"error":{"code":-32601,"message":"'X.y' wasn't found"}})");
  auto r = s.call("X.y");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "'X.y' wasn't found");
  auto t = s.call("Page.enable", Json::object(), "", 300);
  EXPECT_FALSE(t.ok);
  EXPECT_GE(fb.now, 300u);
  EXPECT_FALSE(s.lost());  // a slow reply is not a lost connection
}

TEST(Session, LostConnectionIsReportedOnceAndCallsFailFast) {
  FakeBrowser fb;
  Session s(fb.link());
  fb.session = &s;
  fb.alive = false;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    auto r = s.call("Runtime.evaluate");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(s.post("Page.reload"));
  }
  EXPECT_TRUE(s.lost());
  EXPECT_EQ(fb.logs.size(), 1u);
  EXPECT_EQ(fb.now, 0u);  // no waiting once lost
}

TEST(Session, SurvivesUnreadableMessages) {
  FakeBrowser fb;
  Session s(fb.link());
  fb.session = &s;
  for (const char* bad : {"", "{", "[1,2]", "42", R"({"id":"x"})", R"({"method":5})",
                          R"({"method":"A.b","params":{"s":"\ud800"}})"}) {
    SCOPED_TRACE(bad);
    EXPECT_NO_THROW(s.receive(bad));
  }
  engine::Event e;
  ASSERT_TRUE(s.nextEvent(e));  // the lone surrogate one still gets through
  EXPECT_EQ(e.method, "A.b");
  EXPECT_FALSE(s.nextEvent(e));
}

// A screenshot asked ahead: its reply waits for take() while other calls
// come and go; a forgotten one is dropped; queued events can be looked at.
TEST(Session, RequestsAreCollectedLaterOrForgotten) {
  FakeBrowser fb;
  fb.answer = false;
  Session s(fb.link());
  fb.session = &s;
  int64_t ahead = s.request("Page.captureScreenshot", Json::object(), "S1");
  ASSERT_NE(ahead, 0);
  engine::Reply r;
  EXPECT_FALSE(s.take(ahead, r));
  fb.toDeliver.push_back(R"({"method":"Page.screencastFrame","sessionId":"S1","params":{"data":"x"}})");
  fb.toDeliver.push_back(Json{{"id", ahead}, {"result", {{"data", "png"}}}}.dump());
  fb.toDeliver.push_back(Json{{"id", ahead + 1}, {"result", {{"value", 1}}}}.dump());
  EXPECT_TRUE(s.call("Runtime.evaluate", Json::object(), "S1", 100).ok);
  ASSERT_TRUE(s.take(ahead, r));
  EXPECT_EQ(r.result["data"], "png");
  EXPECT_FALSE(s.take(ahead, r));  // once
  EXPECT_TRUE(s.anyQueued([](const engine::Event& e) { return e.method == "Page.screencastFrame"; }));
  EXPECT_FALSE(s.anyQueued([](const engine::Event& e) { return e.method == "Page.loadEventFired"; }));

  int64_t dropped = s.request("Page.captureScreenshot");
  s.forget(dropped);
  fb.toDeliver.push_back(Json{{"id", dropped}, {"result", {{"data", "late"}}}}.dump());
  s.poll();
  EXPECT_FALSE(s.take(dropped, r));
  int64_t waited = s.request("Page.captureScreenshot");
  fb.toDeliver.push_back(Json{{"id", waited}, {"result", {{"data", "now"}}}}.dump());
  r = s.wait(waited, "Page.captureScreenshot", 100);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.result["data"], "now");
}

// Forgotten by a handler of what came during its own wait: the wait ends
// there, and does not wait out its time for a reply nobody takes.
TEST(Session, AWaitEndsWhenItsRequestIsForgottenMeanwhile) {
  FakeBrowser fb;
  fb.answer = false;
  engine::Link l = fb.link();
  int64_t id = 0;
  l.urgent = [](const engine::Event& e) { return e.method == "Page.screencastFrame"; };
  l.deliver = [&](const engine::Event&) { fb.session->forget(id); };
  Session s(l);
  fb.session = &s;
  id = s.request("Page.captureScreenshot");
  fb.toDeliver.push_back(R"({"method":"Page.screencastFrame","params":{}})");
  EXPECT_FALSE(s.wait(id, "Page.captureScreenshot", 8000).ok);
  EXPECT_EQ(fb.now, 0u);
  EXPECT_TRUE(fb.logs.empty());
}

}  // namespace

// A flood of events while nobody takes them: the queue keeps the newest, a
// pause still waiting for its answer survives, and the loss is logged once.
TEST(Session, BoundsTheEventQueue) {
  FakeBrowser fb;
  engine::Link l = fb.link();
  l.urgent = [](const engine::Event& e) { return e.method == "Fetch.requestPaused"; };
  Session s(l);
  fb.session = &s;
  s.receive(R"({"method":"Fetch.requestPaused","params":{"requestId":"R1"}})");
  const size_t flood = Session::kMaxQueued + 50;
  for (size_t i = 0; i < flood; ++i)
    s.receive(Json{{"method", "Runtime.consoleAPICalled"}, {"params", {{"n", i}}}}.dump());
  EXPECT_EQ(fb.logs.size(), 1u);
  engine::Event e;
  ASSERT_TRUE(s.nextEvent(e));
  EXPECT_EQ(e.method, "Fetch.requestPaused");
  size_t left = 0, first = 0;
  while (s.nextEvent(e)) {
    if (!left++) first = e.params["n"];
  }
  EXPECT_EQ(left + 1, Session::kMaxQueued);
  EXPECT_EQ(first, flood - left);  // the newest are kept
}
