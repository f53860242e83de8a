#include <gtest/gtest.h>
#include "runtime/mouse_pointer.h"

namespace {

TEST(MousePointer, NumbersTranslateBothWays) {
  struct Case { int32_t internal, publicNumber; };
  const Case pairs[] = {
    {0, 0}, {1, 32512}, {2, 32515}, {3, 32513}, {4, 32514}, {5, 32651}, {6, 32650}, {7, 32648},
    {8, 32646}, {9, 32643}, {10, 32645}, {11, 32642}, {12, 32644}, {13, 32516}, {14, 32649},
    {-1, -1},
  };
  for (const Case& c : pairs) {
    SCOPED_TRACE(c.internal);
    EXPECT_EQ(c.publicNumber, rt::publicPointer(c.internal));
    EXPECT_EQ(c.internal, rt::internalPointer(c.publicNumber));
  }
  // Numbers outside either table mean the default pointer.
  for (int32_t n : {15, 99, -2, 32512 + 1000}) EXPECT_EQ(0, rt::publicPointer(n)) << n;
  for (int32_t n : {1, 14, 32517, -2}) EXPECT_EQ(0, rt::internalPointer(n)) << n;
}

TEST(MousePointer, BlocksTranslateTheirFirstWordOnly) {
  std::vector<uint8_t> block = {3, 0, 0, 0, 0xAB, 0xCD};
  rt::translatePointerBlock(&block, true);
  EXPECT_EQ((std::vector<uint8_t>{0x01, 0x7F, 0, 0, 0xAB, 0xCD}), block);   // 32513
  rt::translatePointerBlock(&block, false);
  EXPECT_EQ((std::vector<uint8_t>{3, 0, 0, 0, 0xAB, 0xCD}), block);
  std::vector<uint8_t> custom = {0xFF, 0xFF, 0xFF, 0xFF, 1};
  rt::translatePointerBlock(&custom, false);
  EXPECT_EQ((std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 1}), custom);
  std::vector<uint8_t> shortBlock = {3, 0, 0};
  rt::translatePointerBlock(&shortBlock, true);
  EXPECT_EQ((std::vector<uint8_t>{3, 0, 0}), shortBlock);
}

}  // namespace
