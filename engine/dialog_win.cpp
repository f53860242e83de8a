#include "engine/dialog_win.h"

#include <vector>

#include "engine/editing.h"
#include "engine/wide_win.h"

namespace engine {
namespace {

const WORD kIdText = 100, kIdEdit = 101;

// A dialog template in memory: the header, then each item, DWORD-aligned.
class Template {
 public:
  Template(const std::wstring& title, short w, short h) {
    DLGTEMPLATE t{};
    t.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.cx = w;
    t.cy = h;
    put(&t, sizeof t);
    word(0);  // no menu
    word(0);  // the standard class
    text(title);
    word(9);
    text(L"MS Shell Dlg");
  }
  void item(WORD cls, DWORD style, short x, short y, short w, short h, WORD id, const std::wstring& caption) {
    align();
    DLGITEMTEMPLATE it{};
    it.style = style | WS_CHILD | WS_VISIBLE;
    it.x = x;
    it.y = y;
    it.cx = w;
    it.cy = h;
    it.id = id;
    put(&it, sizeof it);
    word(0xFFFF);
    word(cls);
    text(caption);
    word(0);  // no creation data
    reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit = ++count_;
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  void put(const void* p, size_t n) {
    const auto* b = static_cast<const BYTE*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  void word(WORD w) { put(&w, sizeof w); }
  void text(const std::wstring& s) { put(s.c_str(), (s.size() + 1) * sizeof(wchar_t)); }
  void align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  std::vector<BYTE> bytes_;
  WORD count_ = 0;
};

struct PromptState {
  std::wstring text, answer;
};

INT_PTR CALLBACK promptProc(HWND dlg, UINT msg, WPARAM w, LPARAM l) {
  auto* s = reinterpret_cast<PromptState*>(GetWindowLongPtrW(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dlg, DWLP_USER, l);
      s = reinterpret_cast<PromptState*>(l);
      SetDlgItemTextW(dlg, kIdText, s->text.c_str());
      HWND edit = GetDlgItem(dlg, kIdEdit);
      SetWindowTextW(edit, s->answer.c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(w) == IDOK || LOWORD(w) == IDCANCEL) {
        if (LOWORD(w) == IDOK) {
          HWND edit = GetDlgItem(dlg, kIdEdit);
          std::wstring typed(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
          typed.resize(static_cast<size_t>(GetWindowTextW(edit, typed.data(), static_cast<int>(typed.size()))));
          s->answer = typed;
        }
        EndDialog(dlg, LOWORD(w));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// Windows boxes want CR LF between lines, as the clipboard does.
std::wstring boxText(const std::string& utf8) { return toUtf16(toClipboardLines(utf8)); }

bool ask(HWND owner, DialogKind kind, const std::wstring& caption, const std::string& text, std::string& answer) {
  if (kind != DialogKind::Prompt) {
    UINT buttons = kind == DialogKind::Alert ? MB_OK : MB_OKCANCEL;
    return MessageBoxW(owner, boxText(text).c_str(), caption.c_str(), buttons | MB_SETFOREGROUND) == IDOK;
  }
  Template t(caption, 260, 86);
  t.item(0x0082, SS_LEFT, 8, 7, 244, 32, kIdText, L"");
  t.item(0x0081, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 42, 244, 14, kIdEdit, L"");
  t.item(0x0080, BS_DEFPUSHBUTTON | WS_TABSTOP, 148, 64, 50, 14, IDOK, L"确定");
  t.item(0x0080, BS_PUSHBUTTON | WS_TABSTOP, 202, 64, 50, 14, IDCANCEL, L"取消");
  PromptState s{boxText(text), toUtf16(answer)};
  INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, promptProc,
                                      reinterpret_cast<LPARAM>(&s));
  if (r != IDOK) return false;
  answer = toUtf8(s.answer.c_str());
  return true;
}

}  // namespace

bool askPerson(HWND view, DialogKind kind, const std::string& title, const std::string& text,
               std::string& answer) {
  HWND owner = view ? GetAncestor(view, GA_ROOT) : nullptr;
  HWND focus = GetFocus();
  bool ok = ask(owner, kind, toUtf16(title), text, answer);
  // Typing goes on where it was, as after a browser's dialog.
  if (focus && IsWindow(focus)) SetFocus(focus);
  return ok;
}

}  // namespace engine
