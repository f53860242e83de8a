#include "engine/downloads.h"

#include <gtest/gtest.h>

namespace {

using engine::DownloadLedger;
using Step = DownloadLedger::Step;

const char kA[] = "0f4c7a1e-2b3d-4e5f-8a9b-0c1d2e3f4a5b";
const char kB[] = "9E8D7C6B-5A49-4382-9170-6F5E4D3C2B1A";

TEST(DownloadLedger, OnlyATakenCompletedDownloadIsKept) {
  DownloadLedger l;
  l.decided(kA, true);
  l.decided(kB, false);
  EXPECT_EQ(l.progress(kA, "inProgress"), Step::Wait);
  EXPECT_EQ(l.progress(kB, "inProgress"), Step::Wait);
  EXPECT_EQ(l.progress(kB, "completed"), Step::Discard);  // refused, finished before the cancel arrived
  EXPECT_EQ(l.progress(kA, "completed"), Step::Keep);
  // Finished guids are forgotten: a repeated report keeps nothing.
  EXPECT_EQ(l.progress(kA, "completed"), Step::Discard);
  // Never answered: refused.
  EXPECT_EQ(l.progress("0a0b0c0d-0000-0000-0000-000000000000", "completed"), Step::Discard);
}

TEST(DownloadLedger, CanceledOrClearedIsDiscarded) {
  DownloadLedger l;
  l.decided(kA, true);
  EXPECT_EQ(l.progress(kA, "canceled"), Step::Discard);
  l.decided(kA, true);
  l.decided(kA, false);  // a later refusal wins
  EXPECT_EQ(l.progress(kA, "completed"), Step::Discard);
  l.decided(kB, true);
  l.clear();  // a new browser: old answers mean nothing
  EXPECT_EQ(l.progress(kB, "completed"), Step::Discard);
}

TEST(DownloadLedger, AGuidThatIsNoPlainNameIsLeftAlone) {
  DownloadLedger l;
  for (const char* bad : {"", "..", "..\\x", "a/b", "C:x", "abc.crdownload", "g\x01"}) {
    SCOPED_TRACE(bad);
    l.decided(bad, true);
    EXPECT_EQ(l.progress(bad, "completed"), Step::Wait);
    EXPECT_EQ(l.progress(bad, "canceled"), Step::Wait);
  }
  EXPECT_TRUE(engine::isDownloadGuid(kA));
  EXPECT_FALSE(engine::isDownloadGuid(std::string(65, 'a')));
}

}  // namespace
