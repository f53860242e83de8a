#include "engine/freshness.h"

#include <gtest/gtest.h>

namespace {

using engine::Freshness;
const uint64_t kQuiet = Freshness::kQuietMs;

// A script turns the page; a picture asked once it is quiet stands for it
// while only the screenshot's own frame (the same as the last) comes.
TEST(Freshness, PictureAskedAfterTheChangeStandsForThePage) {
  Freshness f;
  f.frame("A", 0);
  f.touched(1000);
  EXPECT_FALSE(f.fresh());
  EXPECT_FALSE(f.aheadDue(1000 + kQuiet - 1));
  f.frame("B", 1050);  // the change drawn: quiet starts again
  EXPECT_FALSE(f.aheadDue(1000 + kQuiet));
  ASSERT_TRUE(f.aheadDue(1050 + kQuiet));
  f.asked();
  EXPECT_FALSE(f.frame("B", 1200));
  EXPECT_TRUE(f.stillCurrent());
  f.taken();
  EXPECT_TRUE(f.fresh());
  EXPECT_FALSE(f.aheadDue(5000));
  // Any later change makes it stale, a differing frame as much as a script.
  EXPECT_TRUE(f.frame("C", 5000));
  EXPECT_FALSE(f.fresh());
  f.asked();
  f.taken();
  f.touched(6000);
  EXPECT_FALSE(f.fresh());
}

// Changes after the picture was asked for make it stand for nothing.
TEST(Freshness, ChangesWhileAPictureIsOnItsWayVoidIt) {
  for (int script = 0; script < 2; ++script) {
    SCOPED_TRACE(script);
    Freshness f;
    f.touched(0);
    f.asked();
    if (script) f.touched(10);
    else f.frame("new", 10);
    EXPECT_FALSE(f.stillCurrent());
    f.asked();  // asked again: that one may stand
    EXPECT_TRUE(f.stillCurrent());
  }
}

// A page that keeps drawing gets a few tries, then the snapshot asks
// itself; the next touch of the application's gives new tries.
TEST(Freshness, APageThatNeverSettlesGetsFewTries) {
  Freshness f;
  f.frame("first", 0);
  f.touched(0);
  uint64_t t = 0;
  int asked = 0;
  for (int i = 0; i < 20; ++i) {
    t += kQuiet;
    if (f.aheadDue(t)) {
      f.asked();
      ++asked;
    }
    f.frame("frame " + std::to_string(i), t);
  }
  EXPECT_EQ(asked, Freshness::kTries);
  f.touched(t);
  EXPECT_TRUE(f.aheadDue(t + kQuiet));
}

// Without screencast frames a page's own later changes go unseen: no
// picture is taken ahead, the snapshot asks for its own.
TEST(Freshness, NothingIsAskedAheadBeforeFramesCome) {
  Freshness f;
  f.touched(0);
  EXPECT_FALSE(f.aheadDue(10 * kQuiet));
  f.frame("A", 10 * kQuiet);
  EXPECT_TRUE(f.aheadDue(11 * kQuiet));
}

}  // namespace
