// Capture folder names made from hostile page titles.
#include <gtest/gtest.h>
#include <string>
#include "app/folder_name.h"

namespace {

std::string safe(std::string name) {
  app::MakeFolderNameSafe(name.data());
  return name;
}

struct Case {
  const char* title;
  const char* folder;
};

TEST(FolderName, RefusedCharactersAndDotsBecomeUnderscores) {
  const Case cases[] = {
      {"物理:期中考试?试卷第一套附答案及评分标", "物理_期中考试_试卷第一套附答案及评分标"},
      {"..\\..\\..\\..\\..\\..\\es", ".._.._.._.._.._.._es"},
      {"..", "__"},
      {"....................", "____________________"},
      {"a/b<c>d\"e|f*g", "a_b_c_d_e_f_g"},
      {"tab\there\x01", "tab_here_"},
      {"ends in dots. . .", "ends in dots_____"},
      {"C:\\Windows", "C__Windows"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(safe(c.title), c.folder);
  }
}

TEST(FolderName, OrdinaryTitlesStayByteForByte) {
  const char* const titles[] = {
      "2024-Math高三数学期末考试试卷及",   // the sample site's 20-character prefix
      "Mid-term (v2) + answers, 2024 #1",
      ".hidden start is allowed",
      "",
  };
  for (const char* t : titles) {
    SCOPED_TRACE(t);
    EXPECT_EQ(safe(t), t);
  }
}

TEST(FolderName, DoubleByteCharactersWithBackslashOrBarSecondByteStayWhole) {
  // GBK 0x955C and 0x817C: second bytes "\" and "|", still one character.
  EXPECT_EQ(safe("\x95\x5C\x81\x7C-x"), "\x95\x5C\x81\x7C-x");
  // A lead byte before a byte that cannot follow it is no pair: the "/"
  // and the trailing "." are looked at on their own.
  EXPECT_EQ(safe("\x95/x"), "\x95_x");
  EXPECT_EQ(safe("\x95."), "\x95_");
  // A lead byte at the very end is kept as it is.
  EXPECT_EQ(safe("ab\x95"), "ab\x95");
}

}  // namespace
