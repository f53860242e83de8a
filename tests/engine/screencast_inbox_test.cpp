#include "engine/parsed_inbox.h"
#include "engine/screencast_inbox.h"
#include "engine/session.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <thread>
#include <vector>

namespace {

std::string frame(const std::string& session, int ack, const std::string& data) {
  return R"({"method":"Page.screencastFrame","params":{"data":")" + data + R"(","sessionId":)" +
         std::to_string(ack) + R"(},"sessionId":")" + session + R"("})";
}

// Every frame is acknowledged as it comes; a busy window thread finds the
// newest few; other messages are left for the session.
TEST(ScreencastInbox, AcknowledgesEachAndKeepsTheNewest) {
  std::vector<std::string> sent;
  int wakes = 0;
  engine::ScreencastInbox inbox([&](const std::string& t) { sent.push_back(t); return true; }, [&] { ++wakes; });
  std::string other = R"({"method":"Page.loadEventFired","params":{},"sessionId":"A"})";
  EXPECT_FALSE(inbox.arrive(other));
  EXPECT_FALSE(other.empty());
  const int n = static_cast<int>(engine::ScreencastInbox::kKept) + 2;
  for (int i = 1; i <= n; ++i) {
    std::string text = frame(i % 2 ? "A" : "B", i, "pic" + std::to_string(i));
    EXPECT_TRUE(inbox.arrive(text));
  }
  ASSERT_EQ(sent.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    auto ack = nlohmann::json::parse(sent[i]);
    EXPECT_EQ(ack["id"], engine::ScreencastInbox::kFirstAckId + i);
    EXPECT_EQ(ack["params"]["sessionId"], i + 1);
    EXPECT_EQ(ack["sessionId"], (i + 1) % 2 ? "A" : "B");
  }
  EXPECT_EQ(wakes, 1);
  engine::ScreencastFrame f;
  for (int i = n - static_cast<int>(engine::ScreencastInbox::kKept) + 1; i <= n; ++i) {
    ASSERT_TRUE(inbox.next(f));
    EXPECT_EQ(f.data, "pic" + std::to_string(i));
  }
  EXPECT_FALSE(inbox.next(f));
  std::string again = frame("A", 99, "x");
  inbox.arrive(again);
  EXPECT_EQ(wakes, 2);
}


// Messages parsed on the reading thread reach the session in the order
// they came; an unreadable one is logged there and skipped.
TEST(ParsedInbox, HandsTheSessionWhatTheReaderParsedInOrder) {
  std::vector<std::string> logged;
  engine::ParsedInbox inbox([&](const std::string& line) { logged.push_back(line); });
  engine::Link link;
  link.send = [](const std::string&) { return true; };
  engine::Session session(link);
  const int64_t id = session.request("Page.captureScreenshot");
  const std::string picture(1 << 20, 'A');
  std::vector<std::string> texts = {R"({"method":"Page.loadEventFired","params":{}})", "{oops",
                                    R"({"id":)" + std::to_string(id) + R"(,"result":{"data":")" + picture + R"("}})"};
  std::thread reader([&] {
    for (std::string& t : texts) inbox.arrive(t);
  });
  reader.join();
  for (const std::string& t : texts) EXPECT_TRUE(t.empty() && t.capacity() < 64);
  for (size_t i = 0; i < texts.size(); ++i) session.receiveParsed(inbox.next());
  EXPECT_TRUE(inbox.next().is_null());
  engine::Event e;
  ASSERT_TRUE(session.nextEvent(e));
  EXPECT_EQ(e.method, "Page.loadEventFired");
  engine::Reply r;
  ASSERT_TRUE(session.take(id, r));
  EXPECT_EQ(r.result["data"], picture);
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0], "unreadable message: {oops");
}

}  // namespace
