#include <gtest/gtest.h>
#include "components/gbk_offsets.h"

using comp::UnitWidths;

namespace {
// "a吴b" then a character outside the BMP: a surrogate pair GBK writes as one "?".
const UnitWidths kText = {1, 2, 1, 1, 0};
}  // namespace

TEST(GbkOffsets, UnitsAndBytesMeetAtCharacterEdges) {
  struct Case { int64_t bytes; size_t unit; };
  // A byte inside 吴 moves on past it; nothing stops between the halves of a pair.
  const Case cases[] = {{-3, 0}, {0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {5, 5}, {99, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(c.unit, comp::unitAtByte(kText, c.bytes));
  }
  EXPECT_EQ(3, comp::bytesBefore(kText, 2));
  EXPECT_EQ(5, comp::bytesBefore(kText, 99));
}

TEST(GbkOffsets, SelectionProperties) {
  struct Case { int32_t start, length; size_t from, to; };
  const Case cases[] = {
    {0, 0, 0, 0}, {1, 2, 1, 2}, {1, 3, 1, 3},
    {2, 1, 2, 3},                   // from inside 吴: the next character
    {-1, 0, 5, 5},                  // caret after the last character
    {3, -1, 0, 5},                  // everything, whatever the start
    {1, 0x7FFFFFFF, 1, 5},          // the largest length reaches the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << "," << c.length);
    comp::UnitRange r = comp::selectionUnits(kText, c.start, c.length);
    EXPECT_EQ(c.from, r.start);
    EXPECT_EQ(c.to, r.end);
  }
}

TEST(GbkOffsets, ReplacementStopsAtTheByteLimit) {
  // Limit 6 with 5 bytes held: replacing 吴 (units 1-2) leaves 3 bytes.
  EXPECT_EQ(3, comp::roomForReplacement(kText, 6, 1, 2));
  EXPECT_EQ(1, comp::roomForReplacement(kText, 6, 9, 0));  // ends clamped: an insertion at the end
  const UnitWidths typed = {2, 1, 2};
  EXPECT_EQ(0u, comp::unitsFitting(typed, 1));  // half a character is not typed
  EXPECT_EQ(2u, comp::unitsFitting(typed, 4));
  EXPECT_EQ(3u, comp::unitsFitting(typed, 5));
  EXPECT_EQ(0u, comp::unitsFitting(typed, -2));
}
