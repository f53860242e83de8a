#include <gtest/gtest.h>
#include "runtime/error_text.h"
#include "runtime/runtime_state.h"

namespace {

TEST(ErrorText, Code6WithPlainLocationWords) {
  EXPECT_EQ(rt::errorReportText(rt::errorCodeMessage(6), 6, 67228418, 54),
            "运行时出错!\r\n"
            "\r\n错误代码：6\r\n"
            "\r\n错误信息：调用DLL命令后发现堆栈错误\r\n"
            "\r\n67228418, 54\r\n");
}

TEST(ErrorText, NoCodeNoMessage) {
  EXPECT_EQ(rt::errorReportText("", 0, -1, 0), "运行时出错!\r\n\r\n-1, 0\r\n");
}

TEST(ErrorText, MessagesOfCodes) {
  EXPECT_STREQ(rt::errorCodeMessage(1), "数组成员引用下标超出定义范围");
  EXPECT_STREQ(rt::errorCodeMessage(11), "所提供参数的数据类型不符合要求");
  EXPECT_EQ(rt::errorCodeMessage(0), nullptr);
  EXPECT_EQ(rt::errorCodeMessage(12), nullptr);
}

TEST(ErrorText, WindowIdsNameTheirTagTexts) {
  auto& windows = rt::state().windows;
  windows.clear();
  rt::LoadedWindow w;
  w.id = 0x52010001;
  w.desc.records.resize(3);
  w.desc.records[0].id = 0x06010000;
  w.desc.records[0].tag = "主窗口";
  w.desc.records[1].id = 0x1601A14D;
  w.desc.records[1].tag = "采集按钮";
  w.desc.records[2].id = 0x26000001;
  w.desc.records[2].typeCode = rt::kTypeMenuItem;
  windows.push_back(w);
  struct Case { int32_t w1, w2; const char* tail; };
  const Case cases[] = {
      {0x52010001, 0x1601A14D, "\r\n1375797249, 369205581\r\n\"主窗口\"\r\n\"采集按钮\"\r\n"},
      {0x52010001, 0, "\r\n1375797249, 0\r\n\"主窗口\"\r\n\"主窗口\"\r\n"},
      {0x52010001, 0x1601FFFF, "\r\n1375797249, 369229823\r\n\"主窗口\"\r\n未找到所指定的窗口组件\r\n"},
      {0x52010001, 0x26000001, "\r\n1375797249, 637534209\r\n\"主窗口\"\r\n未找到所指定的窗口组件\r\n"},
      {0x52010002, 0, "\r\n1375797250, 0\r\n未找到所指定的窗口\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.w2);
    EXPECT_EQ(rt::errorReportText("载入启动窗口失败", 0, c.w1, c.w2),
              std::string("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n") + c.tail);
  }
  windows.clear();
}

}  // namespace
