#include "engine/page_notices.h"

#include <cctype>
#include <climits>

namespace engine {

std::string noticeBindingName(const uint8_t (&random)[16]) {
  static const char kHex[] = "0123456789abcdef";
  std::string name = "__paginet_";
  for (uint8_t b : random) {
    name += kHex[b >> 4];
    name += kHex[b & 15];
  }
  return name;
}

std::string pageWatchScript(const std::string& binding) {
  // The binding is looked up at each report: it may be installed after
  // the script first runs. A MutationObserver sees every way a title changes.
  return std::string("(()=>{if(window.__paginetWatch)return;window.__paginetWatch=1;") +
         "const send=(k,v)=>{const f=globalThis." + binding + ";"
         "if(typeof f==='function')f(k+'\\n'+v);};"
         "let title=null,hover='';"
         "const check=()=>{const t=document.title;if(t!==title){title=t;send('title',t);}};"
         "new MutationObserver(check).observe(document,{subtree:true,childList:true,characterData:true});"
         "document.addEventListener('DOMContentLoaded',check);"
         "const over=e=>{let n=e.type==='mouseover'?e.target:e.relatedTarget;"
         "while(n&&!(n.href&&typeof n.href==='string'))n=n.parentNode;"
         "const u=n?n.href:'';if(u!==hover){hover=u;send('hover',u);}};"
         "document.addEventListener('mouseover',over,true);"
         "document.addEventListener('mouseout',e=>{if(!e.relatedTarget)over(e);},true);"
         // The cursor a browser shows: the style's, and for "auto" an I-beam
         // over editable fields and over the glyphs of text.
         "let cursor='';"
         "const typing=/^(text|search|email|url|tel|password|number|date|datetime-local|month|time|week|)$/i;"
         "const onText=(t,x,y)=>{if(t.isContentEditable||t.tagName==='TEXTAREA')return true;"
         "if(t.tagName==='INPUT')return typing.test(t.type||'');"
         "const r=document.caretRangeFromPoint&&document.caretRangeFromPoint(x,y);"
         "if(!r||r.startContainer.nodeType!==3)return false;"
         "const all=document.createRange();all.selectNodeContents(r.startContainer);"
         "for(const b of all.getClientRects())if(x>=b.left&&x<=b.right&&y>=b.top&&y<=b.bottom)return true;"
         "return false;};"
         "document.addEventListener('mousemove',e=>{const t=e.target;if(!t||t.nodeType!==1)return;"
         "let c=getComputedStyle(t).cursor.split(',').pop().trim();"
         "if(c==='auto')c=onText(t,e.clientX,e.clientY)?'text':'default';"
         "if(c!==cursor){cursor=c;send('cursor',c);}},true);"
         "if(document.readyState!=='loading')check();})()";
}

PageNotice readPageNotice(std::string_view payload) {
  PageNotice n;
  size_t nl = payload.find('\n');
  if (nl == std::string_view::npos) return n;
  std::string_view kind = payload.substr(0, nl);
  if (kind == "title") n.kind = PageNotice::Title;
  else if (kind == "hover") n.kind = PageNotice::Hover;
  else if (kind == "cursor") n.kind = PageNotice::Cursor;
  else if (kind == "stored") n.kind = PageNotice::Stored;
  else return n;
  n.text = std::string(payload.substr(nl + 1));
  return n;
}

namespace {

// Leading decimal digits, clamped; 0 when there are none.
int number(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  long long v = 0;
  bool any = false;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
    any = true;
    if (v < INT_MAX) v = v * 10 + (s[i] - '0');
  }
  return any ? static_cast<int>(v < INT_MAX ? v : INT_MAX) : 0;
}

}  // namespace

WindowRect readWindowFeatures(const std::vector<std::string>& features) {
  WindowRect r;
  for (const std::string& f : features) {
    size_t eq = f.find('=');
    if (eq == std::string::npos) continue;
    std::string key;
    for (char c : f.substr(0, eq))
      if (c != ' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    int v = number(std::string_view(f).substr(eq + 1));
    if (key == "left" || key == "screenx") r.x = v;
    else if (key == "top" || key == "screeny") r.y = v;
    else if (key == "width" || key == "innerwidth") r.width = v;
    else if (key == "height" || key == "innerheight") r.height = v;
  }
  return r;
}

}  // namespace engine
