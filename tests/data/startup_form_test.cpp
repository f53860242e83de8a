// The embedded startup form: its layout, its records as the application
// expects them, and that it is what the generator makes from its source.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "app/constants.h"
#include "app/routines.h"
#include "components/property_blocks.h"
#include "data/startup_form.h"
#include "data/tools/startup_form_source.h"
#include "runtime/form_description.h"

namespace {

uint32_t wordAt(size_t offset) {
  uint32_t w;
  memcpy(&w, kStartupForm + offset, 4);
  return w;
}

const std::vector<uint8_t> kEmbedded(kStartupForm, kStartupForm + kStartupFormSize);

rt::FormDescription readEmbedded() {
  rt::FormDescription form;
  EXPECT_TRUE(rt::readFormDescription(kStartupForm, kStartupFormSize, &form));
  return form;
}

TEST(StartupForm, ReadingThenWritingReproducesItByteForByte) {
  EXPECT_EQ(rt::writeFormDescription(readEmbedded()), kEmbedded);
}

TEST(StartupForm, IsWhatTheGeneratorMakesFromItsSource) {
  EXPECT_EQ(formgen::startupFormBytes(), kEmbedded)
      << "data/startup_form.cpp is stale: rebuild the startup_form target";
}

TEST(StartupForm, SectionAndRecordAreaSizes) {
  // One window: table length 8, its id, its slot; then the description.
  EXPECT_EQ(wordAt(0), 8u);
  EXPECT_EQ(wordAt(4), app::kStartupWindow);
  EXPECT_EQ(wordAt(12), 0x01570C88u);
  EXPECT_EQ(wordAt(16), 0x19010003u);
  EXPECT_EQ(wordAt(20), 0u);            // two empty counted texts
  EXPECT_EQ(wordAt(24), 0u);
  EXPECT_EQ(wordAt(28), 6u);            // records
  // The record area runs to the end of the section.
  EXPECT_EQ(wordAt(32), kStartupFormSize - 36);

  const rt::FormDescription form = readEmbedded();
  ASSERT_EQ(form.windows.size(), 1u);
  const auto& r = form.windows[0].desc.records;
  ASSERT_EQ(r.size(), 6u);
  // Caption, address and user agent are what make the blocks these sizes:
  // 19 words and six counted fields with a 44-byte caption; the version-2
  // edit box with the 39-byte address; the view: 20 bytes and the user agent.
  EXPECT_EQ(r[0].propertyData.size(), 144u);
  EXPECT_EQ(r[1].propertyData.size(), 121u);
  EXPECT_EQ(r[2].propertyData.size(), 0u);
  EXPECT_EQ(r[3].propertyData.size(), 36u);
  EXPECT_EQ(r[4].propertyData.size(), 32u);
  EXPECT_EQ(r[5].propertyData.size(), 148u);
  EXPECT_EQ(wordAt(32), 0x4E8u);
  EXPECT_EQ(kStartupFormSize, 1292u);
}

struct Expected {
  uint32_t id, type;
  const char* name;
  int32_t left, top, width, height;
  uint32_t flags;
  std::vector<std::pair<int32_t, app::Stub>> events;
};

TEST(StartupForm, RecordsHoldIdsGeometryFlagsAndBindings) {
  const std::vector<Expected> expected = {
      {app::kWindowRecord, rt::kTypeWindow, "", 50, 50, 1365, 840, 1,
       {{8, app::kStubFirstActivation}, {4, app::kStubWindowResized}, {3, app::kStubWindowMoved}}},
      {app::kEditBox1, rt::kTypeEditBox, "编辑框1", 664, 100, 464, 48, 5, {}},
      {app::kTimer1, rt::kTypeTimer, "时钟1", 1360, 264, 48, 32, 0, {{0, app::kStubLayoutTimer}}},
      {app::kButton2, rt::kTypeButton, "按钮2", 511, 98, 150, 50, 5, {{0, app::kStubHomeButton}}},
      {app::kButton1, rt::kTypeButton, "按钮1", 360, 98, 150, 50, 5, {{0, app::kStubCaptureButton}}},
      {app::kBrowser1, rt::kTypeBrowserView, "VelmoWeb浏览器1", 0, 0, 1350, 800, 5, {}},
  };
  const rt::FormDescription form = readEmbedded();
  const auto& records = form.windows.at(0).desc.records;
  ASSERT_EQ(records.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    const rt::ComponentRecord& r = records[i];
    const Expected& e = expected[i];
    EXPECT_EQ(r.id, e.id);
    EXPECT_EQ(r.typeCode, e.type);
    EXPECT_EQ(r.name, e.name);
    EXPECT_EQ(r.name2, "");
    EXPECT_EQ(r.left, e.left);
    EXPECT_EQ(r.top, e.top);
    EXPECT_EQ(r.width, e.width);
    EXPECT_EQ(r.height, e.height);
    EXPECT_EQ(r.flags, e.flags);
    EXPECT_EQ(r.parent, 0u);
    EXPECT_TRUE(r.children.empty());
    EXPECT_EQ(r.mousePointer, std::vector<uint8_t>(4, 0));
    EXPECT_EQ(r.tag, "");
    EXPECT_EQ(r.sharedLink, 0u);
    ASSERT_EQ(r.events.size(), e.events.size());
    for (size_t k = 0; k < e.events.size(); ++k) {
      EXPECT_EQ(r.events[k].event, e.events[k].first);
      EXPECT_EQ(r.events[k].offset, app::stubOffset(e.events[k].second));
    }
  }
}

TEST(StartupForm, PropertyBlocksCarryCaptionAddressAndCaptions) {
  const rt::FormDescription form = readEmbedded();
  const auto& r = form.windows.at(0).desc.records;
  comp::WindowProps window;
  ASSERT_EQ(comp::readWindowProps(r[0].propertyData.data(), uint32_t(r[0].propertyData.size()),
                                  &window), comp::ReadStatus::kOk);
  EXPECT_EQ(window.caption, "Brenmoor Paginet试卷下载器 V3.0 -By:tn462917");
  EXPECT_EQ(window.position, 1);
  EXPECT_EQ(window.border, 1);
  EXPECT_EQ(window.maxBox, 1);

  comp::EditBoxProps edit;
  ASSERT_EQ(comp::readEditBoxProps(r[1].propertyData.data(), uint32_t(r[1].propertyData.size()),
                                   &edit), comp::ReadStatus::kOk);
  EXPECT_EQ(edit.content.size(), 39u);
  EXPECT_EQ(edit.content.substr(0, 8), "https://");
  EXPECT_NE(edit.content.find("/q?c=120HYBKI30C"), std::string::npos);

  for (const auto& [index, caption] : {std::pair{3, "前往首页"}, std::pair{4, "采集"}}) {
    comp::ButtonProps button;
    ASSERT_EQ(comp::readButtonProps(r[index].propertyData.data(),
                                    uint32_t(r[index].propertyData.size()), &button),
              comp::ReadStatus::kOk);
    EXPECT_EQ(button.caption, caption);
  }
}

}  // namespace
