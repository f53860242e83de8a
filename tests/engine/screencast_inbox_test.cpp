#include "engine/screencast_inbox.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
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

}  // namespace
