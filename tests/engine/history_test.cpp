#include "engine/history.h"

#include <gtest/gtest.h>

namespace {

using engine::NavHistory;
using Json = nlohmann::json;

TEST(NavHistory, UnreadableAnswersHaveNoEntries) {
  const char* answers[] = {
      R"(null)", R"([])", R"({})", R"({"currentIndex":0})", R"({"entries":[{"id":3}]})",
      R"({"currentIndex":1,"entries":[{"id":3}]})", R"({"currentIndex":-1,"entries":[{"id":3}]})",
      R"({"currentIndex":0,"entries":[{"url":"x"}]})", R"({"currentIndex":0,"entries":[{"id":"3"}]})",
      R"({"currentIndex":0.5,"entries":[{"id":3}]})", R"({"currentIndex":0,"entries":{"id":3}})",
  };
  for (const char* a : answers) {
    SCOPED_TRACE(a);
    NavHistory h = NavHistory::read(Json::parse(a));
    EXPECT_EQ(h.current, -1);
    EXPECT_EQ(h.idAt(0), 0);
    EXPECT_EQ(h.idOfIndex(0), 0);
  }
}

TEST(NavHistory, StepsStayInsideTheEntries) {
  NavHistory h = NavHistory::read(Json::parse(
      R"({"currentIndex":1,"entries":[{"id":7,"url":"a"},{"id":9,"url":"b"},{"id":12,"url":"c"}]})"));
  struct Case {
    int offset, id;
  } cases[] = {{-1, 7}, {0, 9}, {1, 12}, {2, 0}, {-2, 0}, {2147483647, 0}, {-2147483647 - 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(h.idAt(c.offset), c.id);
  }
  EXPECT_EQ(h.idOfIndex(2), 12);
  EXPECT_EQ(h.idOfIndex(3), 0);
  EXPECT_EQ(h.idOfIndex(-1), 0);
}

TEST(LoadState, FollowsALoadThatSucceedsAndOneThatFails) {
  engine::LoadState s;
  EXPECT_FALSE(s.loading() || s.completed() || s.ready());
  s.started();
  EXPECT_TRUE(s.loading());
  s.documentReady();
  s.finished(false);
  EXPECT_TRUE(s.ready() && s.completed() && s.succeeded() && !s.loading() && !s.failed());
  s.started();  // the next load forgets the last one
  EXPECT_TRUE(s.loading() && !s.ready() && !s.completed() && !s.succeeded());
  s.finished(true);
  EXPECT_TRUE(s.completed() && s.failed() && !s.succeeded());
  s.started();
  s.stopped();
  EXPECT_FALSE(s.loading() || s.completed());
}

}  // namespace
