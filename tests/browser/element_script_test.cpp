#include "browser/element_script.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

TEST(ElementScript, ExpressionsAreExactTexts) {
  struct Case {
    const char* prefix;
    int kind;
    const char* selector;
    int match;
    const char* expected;
  };
  const Case cases[] = {
      {"", 2, ".page-next", 1, "document.querySelectorAll('.page-next')[0]"},
      {"", 0, "div", 0, "document.querySelectorAll('div')[0]"},
      {"", -3, "div", 3, "document.querySelectorAll('div')[2]"},
      {"P.", 2, "a b", -5, "P.document.querySelectorAll('a b')[0]"},
      {"", 1, "a.innerHTML=下一页", 4,
       "(function(){var elems = document.querySelectorAll('a'); for(var i = 0; i < "
       "elems.length; i++){ if(elems[i].innerHTML == '下一页'){ return elems[i]; }}})()"},
      {"F.", 1, "span.INNERHTML=x", 1,
       "(function(){var elems = F.document.querySelectorAll('span'); for(var i = 0; i < "
       "elems.length; i++){ if(elems[i].innerHTML == 'x'){ return elems[i]; }}})()"},
      {"", 1, "a.b.innerHTML=x", 1,
       "console.log('选择器配置错误,如果选择a元素的innerHTML属性 请 输入a.innerHTML')"},
      {"", 1, "a.innerHTML=x=y", 1,
       "console.log('选择器配置错误,如果选择a元素的innerHTML属性 请 输入a.innerHTML')"},
      {"", 1, "name=q", 2, "document.querySelectorAll('[nameq]')[1]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector);
    EXPECT_EQ(web::elementExpression(c.prefix, c.kind, c.selector, c.match), c.expected);
  }
}

TEST(ElementScript, CommandScriptsAppendExactSuffixes) {
  std::string e = web::elementExpression("", 2, ".x", 1);
  EXPECT_EQ(web::outerHtmlScript(web::elementExpression("", 2, "html", 1)),
            "return document.querySelectorAll('html')[0].outerHTML");
  EXPECT_EQ(web::clickScript(e), "document.querySelectorAll('.x')[0].click()");
  EXPECT_EQ(web::visibleScript(e, false),
            "document.querySelectorAll('.x')[0].style.display='none'");
  EXPECT_EQ(web::visibleScript(e, true),
            "document.querySelectorAll('.x')[0].style.display='block'");
  EXPECT_STREQ(web::kCountFramesScript,
               "var count = 0;function loop(frame){ for(var y=0; y<frame.length;y++){ count++; "
               "loop(frame[y].frames)}} window.frames.length > 0 ? count++:count=0;"
               "loop(window.frames); return count+''");
}

// Answers "return <prefix>.length" from a table of iframe counts and
// records every script asked.
struct FakePage {
  std::map<std::string, int> lengths;
  std::vector<std::string> asked;
  int operator()(const std::string& s) {
    asked.push_back(s);
    if (s.find("getBoundingClientRect().left") != std::string::npos) return 7;
    if (s.find("getBoundingClientRect().top") != std::string::npos) return 9;
    auto it = lengths.find(s);
    return it == lengths.end() ? 0 : it->second;
  }
};

TEST(ElementScript, FramePrefixNumbering) {
  const std::string top = "return document.querySelectorAll('iframe').length";
  const std::string nested =
      "return document.querySelectorAll('iframe')[0].contentWindow.document."
      "querySelectorAll('iframe').length";
  struct Case {
    int frame, count;
    std::map<std::string, int> lengths;
    const char* expected;
  };
  const Case cases[] = {
      {1, 3, {{top, 2}}, ""},
      {2, 3, {{top, 2}}, "document.querySelectorAll('iframe')[1].contentWindow."},
      {9, 2, {{top, 1}}, "document.querySelectorAll('iframe')[0].contentWindow."},
      // No frames at all: any number is the top document.
      {2, 0, {{top, 0}}, ""},
      {5, 0, {{top, 0}}, ""},
      // Two levels: the one top iframe holds one more.
      {3, 3, {{top, 1}, {nested, 1}},
       "document.querySelectorAll('iframe')[0].contentWindow.document.querySelectorAll('iframe')"
       "[0].contentWindow."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frame);
    FakePage page{c.lengths, {}};
    web::FramePrefix p =
        web::buildFramePrefix(c.frame, c.count, [&](const std::string& s) { return page(s); });
    EXPECT_EQ(p.prefix, c.expected);
    if (c.frame >= 2 && c.count >= 2) {
      EXPECT_EQ(p.left, 7);
      EXPECT_EQ(p.top, 9);
      ASSERT_GE(page.asked.size(), 2u);
      EXPECT_EQ(page.asked[page.asked.size() - 2].substr(0, 7), "return ");
      EXPECT_NE(page.asked.back().find(
                    "getBoundingClientRect().top+document.documentElement.scrollTop;"),
                std::string::npos);
    } else {
      EXPECT_TRUE(page.asked.empty());
    }
  }
}

}  // namespace
