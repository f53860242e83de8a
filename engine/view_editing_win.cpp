// Editing the page with the system's clipboard, the view's context menu,
// its zoom and its caret.
#include <cmath>
#include <cstdio>

#include "engine/clipboard_win.h"
#include "engine/connection_win.h"
#include "engine/script.h"
#include "engine/view_win.h"
#include "engine/zoom.h"

namespace engine {

std::string View::evaluate(const std::string& body, bool gesture) {
  // A script may run ahead of input the page has not taken yet: Ctrl+X
  // right after typing would cut the text as it was before the keys.
  if (Session* s = pageSession(); s && inputId_) s->wait(inputId_, "Input", 1000);
  inputId_ = 0;
  Reply r = call("Runtime.evaluate", functionBodyParams(body, gesture), 3000);
  ScriptResult s = r.ok ? readScriptResult(r.result) : ScriptResult{};
  return s.ok ? s.text : std::string();
}

bool View::copySelection() {
  std::string text = evaluate(kSelectionScript);
  if (text.empty()) return false;  // nothing selected: the clipboard keeps what it has
  if (putClipboardText(hwnd_, text)) return true;
  engineLog("the clipboard is busy: nothing copied");
  return false;
}

void View::offerClipboard() {
  std::string text = clipboardText(hwnd_);
  if (!text.empty()) evaluate(offerTextScript(text), true);
}

void View::edit(EditCommand c) {
  if (!live()) return;
  if (c == EditCommand::Copy || c == EditCommand::Cut) {
    if (copySelection() && c == EditCommand::Cut) edit(EditCommand::Delete);
    return;
  }
  if (c == EditCommand::Paste) {
    insertText(clipboardText(hwnd_));
    return;
  }
  input("Runtime.evaluate", {{"expression", wrapFunctionBody(editScript(c))}, {"userGesture", true}});
}

void View::setZoom(float factor) {
  factor = clampZoom(factor);
  if (factor == zoom_) return;
  zoom_ = factor;
  changed();
  applyMetrics();
  expectPicture();
}

RECT View::caretRect() {
  RECT r{};
  int box[4] = {};
  std::string text = evaluate(kCaretScript);
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d", &box[0], &box[1], &box[2], &box[3]) != 4) return r;
  r = {std::lround(box[0] * zoom_), std::lround(box[1] * zoom_), std::lround((box[0] + box[2]) * zoom_),
       std::lround((box[1] + box[3]) * zoom_)};
  return r;
}

namespace {

enum MenuId : UINT { kBack = 1, kForward, kReload, kCopy, kPaste, kSelectAll };

}  // namespace

// Items that cannot apply are greyed, as in a browser's menu.
void View::contextMenu(int x, int y) {
  if (!menuEnabled_ || !live()) return;
  NavHistory h = history();
  std::string state = evaluate(kEditStateScript);
  bool typed = !state.empty() && state[0] == '1', selected = state.size() > 1;
  HMENU m = CreatePopupMenu();
  if (!m) return;
  auto add = [m](UINT id, const wchar_t* label, bool on) {
    AppendMenuW(m, MF_STRING | (on ? 0 : MF_GRAYED), id, label);
  };
  add(kBack, L"后退(&B)", h.idAt(-1) != 0);
  add(kForward, L"前进(&F)", h.idAt(1) != 0);
  add(kReload, L"重新加载(&R)", true);
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  add(kCopy, L"复制(&C)", selected);
  add(kPaste, L"粘贴(&P)", typed && clipboardHasText());
  add(kSelectAll, L"全选(&A)", true);
  UINT cmd = static_cast<UINT>(TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, hwnd_, nullptr));
  DestroyMenu(m);
  // The menu's loop delivers the page's events: the view may be gone.
  if (find(this) != this) return;
  switch (cmd) {
    case kBack: goToEntry(history().idAt(-1)); break;
    case kForward: goToEntry(history().idAt(1)); break;
    case kReload: reload(); break;
    case kCopy: edit(EditCommand::Copy); break;
    case kPaste: edit(EditCommand::Paste); break;
    case kSelectAll: edit(EditCommand::SelectAll); break;
  }
}

}  // namespace engine
