#include <gtest/gtest.h>
#include <cstring>
#include "components/property_blocks.h"

using namespace comp;

namespace {

std::vector<uint8_t> words(std::initializer_list<uint32_t> ws) {
  std::vector<uint8_t> out;
  for (uint32_t w : ws)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
  return out;
}

void append(std::vector<uint8_t>& v, const std::vector<uint8_t>& more) {
  v.insert(v.end(), more.begin(), more.end());
}

void appendCounted(std::vector<uint8_t>& v, const char* s) {
  uint32_t n = static_cast<uint32_t>(std::strlen(s));
  append(v, words({n}));
  v.insert(v.end(), s, s + n);
}

const char kCaption[] = "Brenmoor Paginet试卷下载器 V3.0 -By:tn462917";

}  // namespace

TEST(PropertyBlocks, StartupWindowBlockLayout) {
  WindowProps p;
  p.border = 1;
  p.maxBox = 1;
  p.caption = kCaption;
  std::vector<uint8_t> got = writeWindowProps(p);
  // 19 words, the class text, three empty blocks, caption, help file.
  std::vector<uint8_t> want = words({6, 1, 1, 0xFF000000, 1, 1, 1, 1, 1, 0, 0, 1, 0, 0,
                                     1, 0, 0, 0, 0, 0, 0, 0, 0});
  appendCounted(want, kCaption);
  append(want, words({0}));
  EXPECT_EQ(got, want);
  EXPECT_EQ(44u, std::strlen(kCaption));  // GBK bytes of the caption
  EXPECT_EQ(144u, got.size());
}

TEST(PropertyBlocks, StartupControlBlockSizes) {
  EditBoxProps e;
  std::string address = "https://reader.exam-site.cn/q?c=120HYBKI30C";
  address.resize(39);
  e.content = address;
  EXPECT_EQ(121u, writeEditBoxProps(e).size());

  ButtonProps home;
  home.caption = "前往首页";
  std::vector<uint8_t> want = words({1, 0, 1, 1, 0, 0});
  appendCounted(want, "前往首页");
  EXPECT_EQ(want, writeButtonProps(home));
  EXPECT_EQ(36u, want.size());

  ButtonProps capture;
  capture.caption = "采集";
  EXPECT_EQ(32u, writeButtonProps(capture).size());
}

TEST(PropertyBlocks, EditBoxFieldOrder) {
  EditBoxProps e;
  e.passwordChar = '#';
  e.upDownMax = 7;
  e.content = "ab";
  e.dataColumn = "c";
  std::vector<uint8_t> want = words({2, 1, 0, 0xFFFFFF, 1, 0, 0, 0, 0, 0});
  want.push_back('#');
  want.push_back(0);
  append(want, words({0, 0, 0, 7, 0, 0, 0}));
  appendCounted(want, "ab");
  appendCounted(want, "");
  appendCounted(want, "c");
  EXPECT_EQ(want, writeEditBoxProps(e));
}

TEST(PropertyBlocks, EmptyBlocksGiveDefaults) {
  WindowProps w;
  ASSERT_EQ(ReadStatus::kOk, readWindowProps(nullptr, 0, &w));
  EXPECT_EQ(2, w.border);
  EXPECT_EQ(1, w.position);
  EXPECT_EQ(1, w.escCloses);
  EXPECT_EQ(0xFF000000u, w.backColour);
  EditBoxProps e;
  ASSERT_EQ(ReadStatus::kOk, readEditBoxProps(nullptr, 0, &e));
  EXPECT_EQ(100, e.upDownMax);
  EXPECT_EQ('*', e.passwordChar);
  EXPECT_EQ(0xFFFFFFu, e.backColour);
  ButtonProps b;
  ASSERT_EQ(ReadStatus::kOk, readButtonProps(nullptr, 0, &b));
  EXPECT_EQ("按钮", b.caption);
  EXPECT_EQ(1, b.hAlign);
  TimerProps t;
  t.period = 9;
  ASSERT_EQ(ReadStatus::kOk, readTimerProps(nullptr, 0, &t));
  EXPECT_EQ(0, t.period);
}

TEST(PropertyBlocks, NewestVersionsRoundTrip) {
  WindowProps w;
  w.border = 5; w.pictureMode = 3; w.backColour = 0x123456; w.position = 3;
  w.musicMode = 2; w.inTaskbar = 0; w.dragByClient = 1; w.shape = 29; w.topmost = 1;
  w.keepTitleActive = 1; w.className = "MyClass"; w.picture = std::string("\x89PNG\0x", 6);
  w.icon = "ic"; w.music = "RIFF"; w.caption = "标题"; w.helpFile = "a.hlp"; w.helpContext = -4;
  EditBoxProps e;
  e.border = 0; e.textColour = 0xFF; e.multiLine = 1; e.scrollBars = 3; e.inputMode = 11;
  e.passwordChar = 0x1234; e.upDownMin = -9; e.selStart = -1; e.font = std::string(60, 'f');
  e.content = "内容"; e.dataSource = "ds"; e.dataColumn = "col";
  ButtonProps b;
  b.type = 1; b.hAlign = 2; b.vAlign = 0; b.picture = "BM.."; b.font = std::string(60, '\0');
  b.caption = "";
  TimerProps t;
  t.period = 100;

  std::vector<std::vector<uint8_t>> blocks = {writeWindowProps(w), writeEditBoxProps(e),
                                              writeButtonProps(b), writeTimerProps(t)};
  for (size_t i = 0; i < blocks.size(); ++i) {
    SCOPED_TRACE(i);
    const std::vector<uint8_t>& in = blocks[i];
    std::vector<uint8_t> again;
    ReadStatus st;
    switch (i) {
      case 0: { WindowProps p; st = readWindowProps(in.data(), in.size(), &p); again = writeWindowProps(p); break; }
      case 1: { EditBoxProps p; st = readEditBoxProps(in.data(), in.size(), &p); again = writeEditBoxProps(p); break; }
      case 2: { ButtonProps p; st = readButtonProps(in.data(), in.size(), &p); again = writeButtonProps(p); break; }
      default: { TimerProps p; st = readTimerProps(in.data(), in.size(), &p); again = writeTimerProps(p); break; }
    }
    EXPECT_EQ(ReadStatus::kOk, st);
    EXPECT_EQ(in, again);
    // Every truncation is refused rather than read past the end.
    for (uint32_t n = 1; n < in.size(); ++n) {
      SCOPED_TRACE(n);
      WindowProps pw; EditBoxProps pe; ButtonProps pb; TimerProps pt;
      ReadStatus s = i == 0 ? readWindowProps(in.data(), n, &pw)
                   : i == 1 ? readEditBoxProps(in.data(), n, &pe)
                   : i == 2 ? readButtonProps(in.data(), n, &pb)
                            : readTimerProps(in.data(), n, &pt);
      EXPECT_EQ(ReadStatus::kTruncated, s);
    }
  }
}

TEST(PropertyBlocks, OlderWindowVersionsKeepDefaults) {
  // Version 1: 14 words, then the five counted fields; no taskbar word.
  std::vector<uint8_t> v1 = words({1, 0, 0, 7, 1, 0, 0, 2, 0, 1, 1, 0, 1, 5});
  append(v1, words({0, 0, 0}));
  appendCounted(v1, "cap");
  append(v1, words({0}));
  WindowProps p;
  ASSERT_EQ(ReadStatus::kOk, readWindowProps(v1.data(), v1.size(), &p));
  EXPECT_EQ(0, p.border);
  EXPECT_EQ(7u, p.backColour);
  EXPECT_EQ(2, p.position);
  EXPECT_EQ(5, p.helpContext);
  EXPECT_EQ("cap", p.caption);
  EXPECT_EQ(1, p.inTaskbar);
  EXPECT_EQ(0, p.shape);
  EXPECT_TRUE(p.className.empty());

  // Version 4: adds taskbar, drag, shape and topmost, but no class text.
  std::vector<uint8_t> v4 = words({4, 2, 1, 0, 0, 1, 1, 1, 1, 0, 0, 1, 0, 0, 0, 1, 3, 1});
  append(v4, words({0, 0, 0}));
  appendCounted(v4, "x");
  append(v4, words({0}));
  ASSERT_EQ(ReadStatus::kOk, readWindowProps(v4.data(), v4.size(), &p));
  EXPECT_EQ(0, p.inTaskbar);
  EXPECT_EQ(1, p.dragByClient);
  EXPECT_EQ(3, p.shape);
  EXPECT_EQ(1, p.topmost);
  EXPECT_EQ(0, p.keepTitleActive);
  EXPECT_EQ("x", p.caption);
}

TEST(PropertyBlocks, OlderEditBoxVersionHasNoBindingNames) {
  EditBoxProps e;
  e.content = "abc";
  std::vector<uint8_t> v2 = writeEditBoxProps(e);
  std::vector<uint8_t> v1(v2.begin(), v2.end() - 8);  // drop the two empty names
  v1[0] = 1;
  EditBoxProps got;
  ASSERT_EQ(ReadStatus::kOk, readEditBoxProps(v1.data(), v1.size(), &got));
  EXPECT_EQ("abc", got.content);
  v1[0] = 0;
  ASSERT_EQ(ReadStatus::kOk, readEditBoxProps(v1.data(), v1.size(), &got));
  EXPECT_EQ("abc", got.content);
}

TEST(PropertyBlocks, NewerVersionsAreRefused) {
  struct Case { uint32_t version; int kind; };
  const Case cases[] = {{7, 0}, {3, 1}, {2, 2}, {2, 3}, {0xFFFFFFFF, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    std::vector<uint8_t> block = words({c.version});
    block.resize(200, 0);
    WindowProps w; EditBoxProps e; ButtonProps b; TimerProps t;
    ReadStatus s = c.kind == 0 ? readWindowProps(block.data(), block.size(), &w)
                 : c.kind == 1 ? readEditBoxProps(block.data(), block.size(), &e)
                 : c.kind == 2 ? readButtonProps(block.data(), block.size(), &b)
                               : readTimerProps(block.data(), block.size(), &t);
    EXPECT_EQ(ReadStatus::kNewerVersion, s);
  }
}

TEST(PropertyBlocks, StoredChoicesAreClamped) {
  ButtonProps b;
  b.type = 5; b.hAlign = 7; b.vAlign = -1;
  std::vector<uint8_t> block = writeButtonProps(b);
  ASSERT_EQ(ReadStatus::kOk, readButtonProps(block.data(), block.size(), &b));
  EXPECT_EQ(1, b.type);
  EXPECT_EQ(2, b.hAlign);
  EXPECT_EQ(0, b.vAlign);

  WindowProps w;
  w.border = 9; w.shape = -3; w.position = 4;
  block = writeWindowProps(w);
  ASSERT_EQ(ReadStatus::kOk, readWindowProps(block.data(), block.size(), &w));
  EXPECT_EQ(6, w.border);
  EXPECT_EQ(0, w.shape);
  EXPECT_EQ(3, w.position);

  TimerProps t;
  block = words({1, static_cast<uint32_t>(-5)});
  ASSERT_EQ(ReadStatus::kOk, readTimerProps(block.data(), block.size(), &t));
  EXPECT_EQ(0, t.period);
}

TEST(PropertyBlocks, CountedLengthBeyondEndIsTruncation) {
  std::vector<uint8_t> block = words({1, 0, 1, 1, 0, 0, 0xFFFFFFF0u});
  ButtonProps b;
  EXPECT_EQ(ReadStatus::kTruncated, readButtonProps(block.data(), block.size(), &b));
}

TEST(PropertyBlocks, WritesByNumberAreBoundedAndReadBack) {
  struct Case { int32_t number; int32_t value; const char* text; int32_t changed; int32_t got; };
  const Case cases[] = {
    {9, 9, nullptr, 1, 5},        // border clamped to 0-5
    {9, 5, nullptr, 0, 5},        // the same value again: nothing changed
    {15, 7, nullptr, 1, 1},       // logical
    {14, -4, nullptr, 0, 0},      // maximum length stays 0
    {23, -8, nullptr, 1, -8},
    {19, 0, "#x", 1, '#'},        // password character: the text's first byte
    {27, 0, "ds", 1, 0},
    {26, 3, nullptr, -1, 0},      // the selected text is not stored
    {7, 3, nullptr, -1, 0},       // a common property
  };
  EditBoxProps p;
  Bytes scratch;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    rt::PropValue in = {}, out = {};
    if (c.text) in.text = c.text; else in.i = c.value;
    EXPECT_EQ(c.changed, setStored(p, c.number, &in));
    EXPECT_EQ(c.changed >= 0, getStored(p, c.number, &out, &scratch));
    if (c.changed < 0) continue;
    if (c.text) EXPECT_EQ(c.number == 19 ? "#" : c.text, std::string(out.text));
    else EXPECT_EQ(c.got, out.i);
  }
  // What was written is what the block holds.
  EXPECT_EQ(5, p.border);
  EXPECT_EQ('#', p.passwordChar);
  EXPECT_EQ("ds", p.dataSource);
  TimerProps t;
  rt::PropValue negative = {};
  negative.i = -5;
  EXPECT_EQ(0, setStored(t, 8, &negative));
  EXPECT_EQ(0, t.period);
}
