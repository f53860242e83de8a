#include "engine/page_notices.h"

#include <gtest/gtest.h>

namespace {

using engine::PageNotice;

TEST(PageNotice, ReadsWhatTheWatchScriptSends) {
  struct Case {
    const char* payload;
    PageNotice::Kind kind;
    const char* text;
  } cases[] = {
      {"title\nEngine Probe", PageNotice::Title, "Engine Probe"},
      {"title\n", PageNotice::Title, ""},
      {"title\nline one\nline two", PageNotice::Title, "line one\nline two"},
      {"title\n\xe7\xac\xac 2 \xe9\xa1\xb5", PageNotice::Title, "\xe7\xac\xac 2 \xe9\xa1\xb5"},
      {"hover\nhttp://127.0.0.1:8000/next.html", PageNotice::Hover, "http://127.0.0.1:8000/next.html"},
      {"hover\n", PageNotice::Hover, ""},
      {"cursor\ntext", PageNotice::Cursor, "text"},
      // A page may call the binding itself: anything else is ignored.
      {"", PageNotice::None, ""},
      {"title", PageNotice::None, ""},
      {"Title\nx", PageNotice::None, ""},
      {"titles\nx", PageNotice::None, ""},
      {"\ntitle", PageNotice::None, ""},
      {"download\nhttp://x/", PageNotice::None, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.payload);
    PageNotice n = engine::readPageNotice(c.payload);
    EXPECT_EQ(n.kind, c.kind);
    EXPECT_EQ(n.text, c.text);
  }
}

TEST(WindowFeatures, TakesPositionAndSize) {
  struct Case {
    std::vector<std::string> features;
    int x, y, width, height;
  } cases[] = {
      {{}, 0, 0, 0, 0},
      {{"width=300", "height=200", "left=10", "top=20"}, 10, 20, 300, 200},
      {{"menubar", "Width = 640", "HEIGHT=480px"}, 0, 0, 640, 480},
      {{"screenX=5", "screenY=6", "innerWidth=7", "innerHeight=8"}, 5, 6, 7, 8},
      {{"width=", "height=abc", "left=-4", "top"}, 0, 0, 0, 0},
      {{"width=99999999999999999999"}, 0, 0, 2147483647, 0},
      {{"width=100", "width=50"}, 0, 0, 50, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.features.empty() ? std::string("none") : c.features[0]);
    engine::WindowRect r = engine::readWindowFeatures(c.features);
    EXPECT_EQ(r.x, c.x);
    EXPECT_EQ(r.y, c.y);
    EXPECT_EQ(r.width, c.width);
    EXPECT_EQ(r.height, c.height);
  }
}

}  // namespace

TEST(NoticeBinding, NameCarriesEveryRandomByte) {
  const uint8_t zeros[16] = {}, mixed[16] = {0x00, 0x01, 0x7f, 0x80, 0xfe, 0xff, 0x10, 0xa5,
                                             0x5a, 0x0f, 0xf0, 0x33, 0xcc, 0x99, 0x66, 0x3c};
  EXPECT_EQ(engine::noticeBindingName(zeros), "__paginet_00000000000000000000000000000000");
  EXPECT_EQ(engine::noticeBindingName(mixed), "__paginet_00017f80feff10a55a0ff033cc99663c");
  EXPECT_NE(engine::pageWatchScript(engine::noticeBindingName(mixed)).find("globalThis.__paginet_00017f80"),
            std::string::npos);
}
