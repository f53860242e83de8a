#include "engine/editing.h"

#include "engine/script.h"

namespace engine {

#define ENGINE_SELECTED_TEXT                                                         \
  "const e=document.activeElement;"                                                  \
  "const field=e&&(e.tagName==='INPUT'||e.tagName==='TEXTAREA')&&"                   \
  "typeof e.selectionStart==='number';"                                              \
  "const text=field?(e.type==='password'?'':e.value.substring(e.selectionStart,e.selectionEnd))" \
  ":String(getSelection());"

const char kSelectionScript[] = ENGINE_SELECTED_TEXT "return text;";

const char kEditStateScript[] =
    ENGINE_SELECTED_TEXT
    "const typed=field?!e.readOnly&&!e.disabled:!!(e&&e.isContentEditable);"
    "return (typed?'1':'0')+text;";
#undef ENGINE_SELECTED_TEXT

const char kCaretScript[] =
    "const e=document.activeElement;if(!e||e===document.body)return '';"
    "const b=e.getBoundingClientRect(),cs=getComputedStyle(e);let r=null;"
    "if(e.tagName==='INPUT'&&typeof e.selectionEnd==='number'){"
    "const c=document.createElement('canvas').getContext('2d');c.font=cs.font;"
    "const x=b.left+parseFloat(cs.borderLeftWidth)+parseFloat(cs.paddingLeft)-e.scrollLeft+"
    "c.measureText(e.type==='password'?'\u2022'.repeat(e.selectionEnd):e.value.slice(0,e.selectionEnd)).width;"
    "const h=parseFloat(cs.fontSize)*1.2;r={left:Math.min(x,b.right),top:b.top+(b.height-h)/2,height:h};}"
    "else{const s=getSelection();if(s.rangeCount){const q=s.getRangeAt(0).cloneRange();q.collapse(false);"
    "const t=q.getClientRects()[0];if(t&&t.height)r=t;}}"
    "if(!r)r={left:b.left+2,top:b.top,height:Math.min(b.height,parseFloat(cs.fontSize)*1.2)};"
    "return [r.left,r.top,1,r.height].map(Math.round).join(',');";

const char kPageBlurScript[] =
    "const k=Symbol.for('paginet.blurred');if(k in window)return;"
    "const a=document.activeElement;window[k]=a&&a!==document.body?new WeakRef(a):null;"
    "document.hasFocus=()=>false;if(a&&a.blur)a.blur();dispatchEvent(new FocusEvent('blur'));";

const char kPageFocusScript[] =
    "const k=Symbol.for('paginet.blurred');if(!(k in window))return;"
    "const r=window[k];delete window[k];delete document.hasFocus;dispatchEvent(new FocusEvent('focus'));"
    "const a=r&&r.deref();if(a&&a.isConnected&&a.focus)a.focus({preventScroll:true});";

const char* editScript(EditCommand c) {
  switch (c) {
    case EditCommand::SelectAll: return "document.execCommand('selectAll')";
    case EditCommand::Unselect:
      return "const e=document.activeElement;"
             "if(e&&typeof e.selectionEnd==='number'&&e.selectionEnd!==null)e.selectionStart=e.selectionEnd;"
             "else getSelection().removeAllRanges()";
    case EditCommand::Delete: return "document.execCommand('delete')";
    case EditCommand::Undo: return "document.execCommand('undo')";
    case EditCommand::Redo: return "document.execCommand('redo')";
    case EditCommand::Copy: case EditCommand::Cut: case EditCommand::Paste: break;
  }
  return "";
}

std::string offerTextScript(const std::string& text) {
  return "const t=" + jsonQuote(text) +
         ";const f=e=>{e.stopImmediatePropagation();e.preventDefault();e.clipboardData.setData('text/plain',t);};"
         "addEventListener('copy',f,true);try{document.execCommand('copy');}finally{removeEventListener('copy',f,true);}";
}

std::string toClipboardLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

std::string fromClipboardLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace engine
