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

namespace {

TEST(FolderName, DeviceNamesLoseTheirLastLetter) {
  const Case cases[] = {
      {"CON", "CO_"},
      {"nul", "nu_"},
      {"Aux.考试", "Au_.考试"},
      {"COM1", "COM_"},
      {"lpt9 .pdf", "lpt_ .pdf"},
      {"PRN...", "PRN___"},   // trailing dots go first, and "PRN___" is no device
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(safe(c.title), c.folder);
  }
  for (const char* t : {"CONS", "COM0", "COM", "LPT10", "AUX_", "con-试卷", "NULL.txt"}) {
    SCOPED_TRACE(t);
    EXPECT_EQ(safe(t), t);
  }
}

std::string trimmed(std::string text) {
  app::TrimTitle(text.data());
  return text.c_str();
}

TEST(FileTitle, TrimsSpacesAndLineBreaksAtBothEndsOnly) {
  EXPECT_EQ(trimmed("\r\n\t 高三 数学 \n"), "高三 数学");
  EXPECT_EQ(trimmed("  "), "");
  EXPECT_EQ(trimmed(""), "");
  EXPECT_EQ(trimmed("a\nb"), "a\nb");
  // GBK 0x8140: a second byte that is "@", not a space.
  EXPECT_EQ(trimmed(" \x81\x40"), "\x81\x40");
}

std::string cut(std::string text, size_t n) {
  app::CutToChars(text.data(), n);
  return text.c_str();
}

TEST(FileTitle, CutsWholeCharacters) {
  EXPECT_EQ(cut("2024-Math高三数学期末考试试卷及答案", 11), "2024-Math高三");
  EXPECT_EQ(cut("高三", 1), "高");
  EXPECT_EQ(cut("ab", 64), "ab");
  EXPECT_EQ(cut("ab", 0), "");
  // A lead byte without its second byte counts as one character, and is
  // left out where the cut ends: what follows would pair with it.
  EXPECT_EQ(cut("\x95/x", 2), "\x95/");
  EXPECT_EQ(cut("\x95/x", 1), "");
  EXPECT_EQ(cut("a\x95", 5), "a");
}

}  // namespace
