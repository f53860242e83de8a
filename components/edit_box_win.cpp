#include "components/component_win.h"
#include "components/input_filter.h"

namespace comp {
namespace {

struct EditBox {
  rt::LiveObject base;          // first: the runtime sees a LiveObject
  EditBoxProps props;
  HBRUSH brush = nullptr;       // from the back colour
  HFONT font = nullptr;         // created from props.font; null = GUI font
  HWND upDown = nullptr;
  bool settingText = false;     // the runtime itself is changing the text
  Bytes readBuffer;             // keeps texts handed out by operation 6
};

HWND hwndOf(const EditBox* e) { return static_cast<HWND>(e->base.hwnd); }

void makeBrush(EditBox* e) {
  if (e->brush) DeleteObject(e->brush);
  uint32_t c = e->props.backColour;
  e->brush = c == kSystemFaceColour ? nullptr : CreateSolidBrush(c & 0xFFFFFF);
}

// Single-line boxes must show one line: sample-glyph height plus two edges.
void applyFont(EditBox* e) {
  HWND hwnd = hwndOf(e);
  HFONT old = e->font;
  e->font = createFont(e->props.font);
  HFONT f = e->font ? e->font : defaultGuiFont();
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
  if (old) DeleteObject(old);
  if (e->props.multiLine) return;
  HDC dc = GetDC(hwnd);
  HGDIOBJ prev = SelectObject(dc, f);
  SIZE sz = {0, 0};
  GetTextExtentPoint32W(dc, L"\u5434", 1, &sz);
  SelectObject(dc, prev);
  ReleaseDC(hwnd, dc);
  int need = sz.cy + 2 * GetSystemMetrics(SM_CYEDGE);
  RECT r;
  GetWindowRect(hwnd, &r);
  if (r.bottom - r.top < need)
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, need, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void applyBorder(EditBox* e) {
  HWND hwnd = hwndOf(e);
  DWORD s = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & ~WS_BORDER;
  DWORD ex = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)) &
             ~(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE);
  switch (e->props.border) {
    case 1: ex |= WS_EX_CLIENTEDGE; break;
    case 2: ex |= WS_EX_DLGMODALFRAME; break;
    case 3: ex |= WS_EX_STATICEDGE; break;
    case 4: ex |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
    case 5: s |= WS_BORDER; break;
  }
  SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(s));
  SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>(ex));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (e->upDown) {
    bool edge = e->props.border == 0 || e->props.border == 1 || e->props.border == 3;
    LONG uex = GetWindowLongW(e->upDown, GWL_EXSTYLE);
    SetWindowLongW(e->upDown, GWL_EXSTYLE, edge ? (uex | WS_EX_STATICEDGE) : (uex & ~WS_EX_STATICEDGE));
    SetWindowPos(e->upDown, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void applyInputMode(EditBox* e) {
  HWND hwnd = hwndOf(e);
  SendMessageW(hwnd, EM_SETPASSWORDCHAR, e->props.inputMode == 2 ? (e->props.passwordChar & 0xFF) : 0, 0);
  SendMessageW(hwnd, EM_SETREADONLY, e->props.inputMode == 1, 0);
  InvalidateRect(hwnd, nullptr, TRUE);
}

std::wstring controlText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring w(n + 1, L'\0');
  n = GetWindowTextW(hwnd, w.data(), n + 1);
  w.resize(n);
  return w;
}

// Positions cross the property services as GBK byte offsets, the control
// counts UTF-16 units.
int32_t byteOffset(const std::wstring& w, DWORD chars) {
  return static_cast<int32_t>(narrow(w.c_str(), static_cast<int>(std::min<size_t>(chars, w.size()))).size());
}
DWORD charOffset(const std::wstring& w, int64_t bytes) {
  DWORD i = 0;
  int64_t b = 0;
  while (i < w.size() && b < bytes) b += static_cast<int32_t>(narrow(&w[i++], 1).size());
  return i;
}

void select(EditBox* e) {
  HWND hwnd = hwndOf(e);
  std::wstring w = controlText(hwnd);
  DWORD start = e->props.selStart < 0 ? static_cast<DWORD>(w.size()) : charOffset(w, e->props.selStart);
  DWORD end;
  if (e->props.selLength < 0) {
    start = 0;
    end = static_cast<DWORD>(w.size());
  } else {
    // Wide: a length up to the largest integer means "to the end".
    end = charOffset(w, int64_t{byteOffset(w, start)} + e->props.selLength);
  }
  SendMessageW(hwnd, EM_SETSEL, start, end);
  SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

// The longest prefix of text that keeps the content within the byte limit
// once it replaces the selection (GBK bytes: the control counts UTF-16 units).
std::wstring fitToLimit(EditBox* e, const std::wstring& text) {
  HWND hwnd = hwndOf(e);
  std::wstring w = controlText(hwnd);
  DWORD s = 0, end = 0;
  SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&end));
  s = std::min<DWORD>(s, static_cast<DWORD>(w.size()));
  end = std::min<DWORD>(std::max(s, end), static_cast<DWORD>(w.size()));
  int64_t room = int64_t{e->props.maxLength} - byteOffset(w, static_cast<DWORD>(w.size())) +
                 (byteOffset(w, end) - byteOffset(w, s));
  size_t n = 0;
  for (int64_t used = 0; n < text.size(); ++n) {
    used += static_cast<int64_t>(narrow(&text[n], 1).size());
    if (used > room) break;
  }
  return text.substr(0, n);
}

// Typing, pasting and replacing the selection stop at the byte limit.
LRESULT limitInput(EditBox* e, UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwndOf(e);
  if (msg == WM_CHAR) {
    if (wp < 32 || !fitToLimit(e, std::wstring(1, static_cast<wchar_t>(wp))).empty())
      return DefSubclassProc(hwnd, msg, wp, lp);
    MessageBeep(MB_OK);
    return 0;
  }
  if (msg == EM_REPLACESEL) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(lp);
    std::wstring fit = fitToLimit(e, text ? text : L"");
    return DefSubclassProc(hwnd, msg, wp, reinterpret_cast<LPARAM>(fit.c_str()));
  }
  std::wstring clip;
  if (OpenClipboard(hwnd)) {
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT))
      if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
        clip = p;
        GlobalUnlock(h);
      }
    CloseClipboard();
  }
  // A single line takes the clipboard's first line, as the control itself does.
  if (!e->props.multiLine) clip = clip.substr(0, clip.find_first_of(L"\r\n"));
  if (!clip.empty()) SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(clip.c_str()));
  return 0;
}

void setContent(EditBox* e, const Bytes& text) {
  e->settingText = true;
  SetWindowTextW(hwndOf(e), widen(text).c_str());
  e->settingText = false;
}

void onUpDown(EditBox* e, const NMUPDOWN* n) {
  HWND hwnd = hwndOf(e);
  if (!IsWindowEnabled(hwnd) || !IsWindowVisible(hwnd)) return;
  if (e->props.upDownType == 2) {
    int32_t arg = n->iDelta >= 0 ? 1 : -1;
    raiseEvent(&e->base, 1, 1, &arg);
    return;
  }
  int lo = 0, hi = 0;
  SendMessageW(e->upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo), reinterpret_cast<LPARAM>(&hi));
  int32_t v = upDownStep(atoi(windowTextOf(hwnd).c_str()), n->iDelta >= 0, std::min(lo, hi), std::max(lo, hi));
  SetWindowTextW(hwnd, std::to_wstring(v).c_str());
  SendMessageW(hwnd, EM_SETSEL, 0, -1);
  SetFocus(hwnd);
}

LRESULT CALLBACK upDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* e = reinterpret_cast<EditBox*>(ref);
  if (msg == kReflect + WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == UDN_DELTAPOS) {
    onUpDown(e, reinterpret_cast<NMUPDOWN*>(lp));
    return 1;  // the edit box has applied the change itself
  }
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, upDownProc, 1);
    if (e->upDown == hwnd) e->upDown = nullptr;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK editProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* e = reinterpret_cast<EditBox*>(ref);
  switch (msg) {
    case rt::kMsgQueryObject:
      return reinterpret_cast<LRESULT>(e);
    case WM_CHAR:
      if (!inputModeAccepts(e->props.inputMode, static_cast<uint32_t>(wp))) {
        MessageBeep(MB_OK);
        return 0;
      }
      if (e->props.maxLength > 0) return limitInput(e, msg, wp, lp);
      break;
    case kReflect + WM_COMMAND:
      if (HIWORD(wp) == EN_CHANGE && !e->settingText) raiseEvent(&e->base, 0);
      return 0;
    case kReflect + WM_CTLCOLOREDIT:
    case kReflect + WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, e->props.textColour & 0xFFFFFF);
      HBRUSH b = e->brush ? e->brush : GetSysColorBrush(COLOR_BTNFACE);
      SetBkColor(dc, e->brush ? (e->props.backColour & 0xFFFFFF) : GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(b);
    }
    case WM_SHOWWINDOW:
      // Under a hidden parent ShowWindow sends only this; lp 0 = our own show.
      if (e->upDown && lp == 0) ShowWindow(e->upDown, wp ? SW_SHOWNA : SW_HIDE);
      break;
    case WM_WINDOWPOSCHANGED: {
      UINT flags = reinterpret_cast<WINDOWPOS*>(lp)->flags;
      if (e->upDown && (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
        ShowWindow(e->upDown, (flags & SWP_SHOWWINDOW) ? SW_SHOWNA : SW_HIDE);
      break;
    }
    case WM_ENABLE:
      if (e->upDown) EnableWindow(e->upDown, static_cast<BOOL>(wp));
      break;
    case EM_REPLACESEL:
    case WM_PASTE:
      if (e->props.maxLength > 0) return limitInput(e, msg, wp, lp);
      break;
    case WM_SETFOCUS:
      raiseEvent(&e->base, -7);
      break;
    case WM_KILLFOCUS:
      raiseEvent(&e->base, -8);
      break;
    case WM_NCDESTROY: {
      RemoveWindowSubclass(hwnd, editProc, 1);
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      notifyDestroyed(&e->base);
      if (e->upDown) {
        RemoveWindowSubclass(e->upDown, upDownProc, 1);
        DestroyWindow(e->upDown);
      }
      if (e->brush) DeleteObject(e->brush);
      if (e->font) DeleteObject(e->font);
      delete e;
      return r;
    }
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

DWORD editStyle(const EditBoxProps& p, uint32_t loaderStyle) {
  DWORD s = WS_CHILD | WS_CLIPSIBLINGS | loaderStyle;
  if (!p.hideSelection) s |= ES_NOHIDESEL;
  if (p.multiLine) {
    s |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (p.scrollBars == 1 || p.scrollBars == 3) s |= ES_AUTOHSCROLL | WS_HSCROLL;
    if (p.scrollBars == 2 || p.scrollBars == 3) s |= WS_VSCROLL;
  } else {
    s |= ES_AUTOHSCROLL;
  }
  if (p.alignment == 1) s |= ES_CENTER;
  if (p.alignment == 2) s |= ES_RIGHT;
  if (p.inputMode == 1) s |= ES_READONLY;
  if (p.inputMode == 2) s |= ES_PASSWORD;
  if (p.caseConversion == 1) s |= ES_LOWERCASE;
  if (p.caseConversion == 2) s |= ES_UPPERCASE;
  return s;
}

void createUpDown(EditBox* e, HWND parent, uint32_t controlId) {
  HWND hwnd = hwndOf(e);
  const EditBoxProps& p = e->props;
  bool edge = p.border == 0 || p.border == 1 || p.border == 3;
  DWORD s = WS_CHILD | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
  // Later shows, hides and enables of the edit box carry over (editProc).
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) s |= WS_VISIBLE;
  if (!IsWindowEnabled(hwnd)) s |= WS_DISABLED;
  e->upDown = CreateWindowExW(edge ? WS_EX_STATICEDGE : 0, UPDOWN_CLASSW, nullptr, s, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId + 4)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!e->upDown || !subclass(e->upDown, upDownProc, e)) {
    if (e->upDown) DestroyWindow(e->upDown);
    e->upDown = nullptr;
    e->props.upDownType = 0;
    return;
  }
  SendMessageW(e->upDown, UDM_SETRANGE32, std::min(p.upDownMin, p.upDownMax), std::max(p.upDownMin, p.upDownMax));
  SendMessageW(e->upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd), 0);
}

rt::LiveObject* RT_CALL create(const uint8_t* data, uint32_t size, uint32_t style, void* parent,
                               uint32_t controlId, void* menu, int32_t left, int32_t top,
                               int32_t width, int32_t height, uint32_t windowId,
                               uint32_t componentId, void* designOwner, int32_t designFlag) {
  auto* e = new EditBox();
  if (readEditBoxProps(data, size, &e->props) != ReadStatus::kOk) {
    delete e;
    return nullptr;
  }
  e->base = {nullptr, windowId, componentId, rt::kTypeEditBox, nullptr};
  makeBrush(e);
  HWND hwnd = CreateWindowExW(0, L"EDIT", widen(e->props.content).c_str(), editStyle(e->props, style), left,
                              top, width, height, static_cast<HWND>(parent),
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd || !subclass(hwnd, editProc, e)) {
    if (hwnd) DestroyWindow(hwnd);
    if (e->brush) DeleteObject(e->brush);
    delete e;
    return nullptr;
  }
  e->base.hwnd = hwnd;
  applyFont(e);
  SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(e->props.maxLength), 0);
  if (e->props.inputMode == 2) SendMessageW(hwnd, EM_SETPASSWORDCHAR, e->props.passwordChar & 0xFF, 0);
  if (!e->props.multiLine && e->props.upDownType) createUpDown(e, static_cast<HWND>(parent), controlId);
  select(e);
  applyBorder(e);
  return &e->base;
}

int32_t RT_CALL propertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
                                const char** errorText) {
  auto* e = reinterpret_cast<EditBox*>(obj);
  EditBoxProps& p = e->props;
  HWND hwnd = hwndOf(e);
  int32_t i = v->i;
  auto recreateIf = [](int32_t& field, int32_t value) {
    bool changed = field != value;
    field = value;
    return changed ? 1 : 0;
  };
  switch (index + 8) {
    case 8:
      p.content = textIn(v);
      setContent(e, p.content);
      raiseEvent(&e->base, 0);  // once, for the whole write
      return 0;
    case 9: p.border = clampChoice(i, 5); applyBorder(e); return 0;
    case 10: p.textColour = v->w[0]; InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case 11:
      p.backColour = v->w[0];
      makeBrush(e);
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return 0;
    case 12: p.font = rawIn(v); applyFont(e); return 0;
    case 13: return recreateIf(p.hideSelection, i != 0);
    case 14:
      p.maxLength = nonNegative(i);
      SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(p.maxLength), 0);
      return 0;
    case 15: return recreateIf(p.multiLine, i != 0);
    case 16: return recreateIf(p.scrollBars, clampChoice(i, 3));
    case 17: return recreateIf(p.alignment, clampChoice(i, 2));
    case 18: p.inputMode = clampChoice(i, 11); applyInputMode(e); return 0;
    case 19: {
      Bytes t = textIn(v);
      p.passwordChar = t.empty() ? 0 : static_cast<uint8_t>(t[0]);
      if (p.inputMode == 2) applyInputMode(e);
      return 0;
    }
    case 20: return recreateIf(p.caseConversion, clampChoice(i, 2));
    case 21: return recreateIf(p.upDownType, clampChoice(i, 2));
    case 22: p.upDownMin = i; return 0;
    case 23: p.upDownMax = i; return 0;
    case 24: p.selStart = i; select(e); return 0;
    case 25: p.selLength = i; select(e); return 0;
    case 26:
      SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(widen(textIn(v)).c_str()));
      return 0;
    case 27: p.dataSource = textIn(v); return 0;
    case 28: p.dataColumn = textIn(v); return 0;
  }
  return 0;
}

int32_t RT_CALL getPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out) {
  auto* e = reinterpret_cast<EditBox*>(obj);
  const EditBoxProps& p = e->props;
  HWND hwnd = hwndOf(e);
  DWORD s = 0, end = 0;
  switch (index + 8) {
    case 8: e->readBuffer = windowTextOf(hwnd); putText(out, e->readBuffer); return 1;
    case 9: putInt(out, p.border); return 1;
    case 10: putInt(out, static_cast<int32_t>(p.textColour)); return 1;
    case 11: putInt(out, static_cast<int32_t>(p.backColour)); return 1;
    case 12: putRaw(out, p.font); return 1;
    case 13: putInt(out, p.hideSelection); return 1;
    case 14: putInt(out, p.maxLength); return 1;
    case 15: putInt(out, p.multiLine); return 1;
    case 16: putInt(out, p.scrollBars); return 1;
    case 17: putInt(out, p.alignment); return 1;
    case 18: putInt(out, p.inputMode); return 1;
    case 19: e->readBuffer = Bytes(1, static_cast<char>(p.passwordChar & 0xFF)); putText(out, e->readBuffer); return 1;
    case 20: putInt(out, p.caseConversion); return 1;
    case 21: putInt(out, p.upDownType); return 1;
    case 22: putInt(out, p.upDownMin); return 1;
    case 23: putInt(out, p.upDownMax); return 1;
    case 24:
    case 25:
    case 26: {
      SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&end));
      std::wstring w = controlText(hwnd);
      int32_t bs = byteOffset(w, s), be = byteOffset(w, end);
      if (index + 8 == 24) putInt(out, bs);
      else if (index + 8 == 25) putInt(out, be - bs);
      else { e->readBuffer = narrow(w.c_str() + std::min<size_t>(s, w.size()), static_cast<int>(std::min<size_t>(end, w.size()) - std::min<size_t>(s, w.size()))); putText(out, e->readBuffer); }
      return 1;
    }
    case 27: putText(out, p.dataSource); return 1;
    case 28: putText(out, p.dataColumn); return 1;
  }
  return 0;
}

uint8_t* RT_CALL getAllPropertyData(rt::LiveObject* obj, uint32_t* size) {
  auto* e = reinterpret_cast<EditBox*>(obj);
  EditBoxProps p = e->props;
  p.content = windowTextOf(hwndOf(e));
  return runtimeBlock(writeEditBoxProps(p), size);
}

// Return belongs to a writable multi-line box.
int32_t RT_CALL wantsKey(rt::LiveObject* obj, uint32_t key) {
  const EditBoxProps& p = reinterpret_cast<EditBox*>(obj)->props;
  return key == VK_RETURN && p.multiLine && p.inputMode != 1;
}

void RT_CALL propertyTexts(rt::LiveObject* obj, PropertyTextFn fn, void* ctx) {
  static const int32_t kTexts[] = {8 - 8};
  walkPropertyTexts(obj, kTexts, 1, fn, ctx);
}

}  // namespace

void* RT_CALL editBoxInterface(int32_t op) {
  switch (op) {
    case rt::kOpCreate: return reinterpret_cast<void*>(create);
    case rt::kOpPropertyChanged: return reinterpret_cast<void*>(propertyChanged);
    case rt::kOpGetAllPropertyData: return reinterpret_cast<void*>(getAllPropertyData);
    case rt::kOpGetPropertyData: return reinterpret_cast<void*>(getPropertyData);
    case rt::kOpWantsKey: return reinterpret_cast<void*>(wantsKey);
    case rt::kOpPropertyTexts: return reinterpret_cast<void*>(propertyTexts);
    default: return nullptr;
  }
}

}  // namespace comp
