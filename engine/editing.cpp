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
