#include "browser/element_script.h"

#include <algorithm>
#include <vector>

namespace web {

const char kCountFramesScript[] =
    "var count = 0;function loop(frame){ for(var y=0; y<frame.length;y++){ count++; "
    "loop(frame[y].frames)}} window.frames.length > 0 ? count++:count=0;loop(window.frames); "
    "return count+''";

namespace {

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t at = s.find(sep, start);
    parts.push_back(s.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

bool containsInnerHtml(std::string_view s) {
  constexpr std::string_view kWord = "innerhtml";
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
  auto it = std::search(s.begin(), s.end(), kWord.begin(), kWord.end(),
                        [&](char a, char b) { return lower(a) == b; });
  return it != s.end();
}

std::string querySelectorAll(std::string_view prefix, std::string_view selector, int index) {
  std::string out(prefix);
  out += "document.querySelectorAll('";
  out += selector;
  out += "')[";
  out += std::to_string(index);
  out += "]";
  return out;
}

}  // namespace

std::string elementExpression(std::string_view prefix, int kind, std::string_view selector,
                              int match) {
  int index = (match < 1 ? 1 : match) - 1;
  if (kind != 1) return querySelectorAll(prefix, selector, index);
  if (!containsInnerHtml(selector)) {
    std::string attribute(selector);
    size_t eq = attribute.find('=');
    if (eq != std::string::npos) attribute.erase(eq, 1);
    return querySelectorAll(prefix, "[" + attribute + "]", index);
  }
  std::vector<std::string_view> parts = split(selector, '.');
  if (parts.size() == 2) {
    std::vector<std::string_view> nameValue = split(parts[1], '=');
    if (nameValue.size() == 2) {
      std::string out = "(function(){var elems = ";
      out += prefix;
      out += "document.querySelectorAll('";
      out += parts[0];
      out += "'); for(var i = 0; i < elems.length; i++){ if(elems[i].innerHTML == '";
      out += nameValue[1];
      out += "'){ return elems[i]; }}})()";
      return out;
    }
  }
  return "console.log('选择器配置错误,如果选择a元素的innerHTML属性 请 输入a.innerHTML')";
}

std::string outerHtmlScript(std::string_view expression) {
  return "return " + std::string(expression) + "." + "outerHTML";
}

std::string clickScript(std::string_view expression) {
  return std::string(expression) + ".click()";
}

std::string visibleScript(std::string_view expression, bool visible) {
  return std::string(expression) +
         (visible ? ".style.display='block'" : ".style.display='none'");
}

FramePrefix buildFramePrefix(int frame, int count, const IntScript& run) {
  FramePrefix out;
  // Clipped first: on a page without frames every number means the top
  // document.
  frame = std::min(frame, count);
  if (frame < 2) return out;
  std::string& prefix = out.prefix;
  int counter = 1;
  bool found = false;
  while (!found) {
    prefix += prefix.empty() ? "document.querySelectorAll('iframe')"
                             : "contentWindow.document.querySelectorAll('iframe')";
    int n = run("return " + prefix + ".length");
    if (n <= 0) break;
    for (int i = 0; i < n && !found; ++i) {
      if (counter == frame) {
        prefix += "[" + std::to_string(i) + "].";
        found = true;
      } else {
        ++counter;
      }
    }
    if (!found) {
      prefix += "[" + std::to_string(n - 1) + "].";
      if (counter >= count) break;
    }
  }
  out.left = run("return " + prefix +
                 "getBoundingClientRect().left+document.documentElement.scrollLeft;");
  out.top = run("return " + prefix +
                "getBoundingClientRect().top+document.documentElement.scrollTop;");
  prefix += "contentWindow.";
  return out;
}

}  // namespace web
