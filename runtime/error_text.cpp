#include "runtime/error_text.h"
#include <cstdio>
#include "runtime/runtime_state.h"

namespace rt {

const char* errorCodeMessage(int32_t code) {
  static const char* const kMessages[] = {
      "数组成员引用下标超出定义范围",
      "未得到所需要的数值型数据",
      "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
      "数组成员引用下标必须大于等于1",
      "数据或数组类型不匹配",
      "调用DLL命令后发现堆栈错误",
      "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
      "被比较数据只能使用等于或不等于命令比较",
      "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
      "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
      "所提供参数的数据类型不符合要求",
  };
  return code >= 1 && code <= 11 ? kMessages[code - 1] : nullptr;
}

namespace {
std::string locationText(int32_t w1, int32_t w2) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "\r\n%d, %d", w1, w2);
  std::string s = buf;
  if (!isWindowId(uint32_t(w1))) return s + "\r\n";
  LoadedWindow* w = findWindow(uint32_t(w1));
  if (!w || w->desc.records.empty()) return s + "\r\n未找到所指定的窗口\r\n";
  s += "\r\n\"" + w->desc.records[0].tag + "\"";
  ComponentRecord* c = findRecord(w, uint32_t(w2));
  if (c && !c->isMenuItem()) s += "\r\n\"" + c->tag + "\"";
  else s += "\r\n未找到所指定的窗口组件";
  return s + "\r\n";
}
}  // namespace

std::string errorReportText(std::string_view message, int32_t code, int32_t w1, int32_t w2) {
  std::string s = "运行时出错!\r\n";
  if (code != 0) s += "\r\n错误代码：" + std::to_string(code) + "\r\n";
  if (!message.empty()) s += "\r\n错误信息：" + std::string(message) + "\r\n";
  return s + locationText(w1, w2);
}

}  // namespace rt
