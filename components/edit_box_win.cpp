#include "components/edit_box_win.h"
#include "components/gbk_offsets.h"
#include "components/input_filter.h"

namespace comp {
namespace {

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
  setUpDownEdge(e);
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

// GBK widths of the control's UTF-16 units (gbk_offsets.h).
UnitWidths unitWidths(const std::wstring& w) {
  UnitWidths out(w.size(), 0);
  for (size_t i = 0; i < w.size(); ++i) {
    bool pair = IS_HIGH_SURROGATE(w[i]) && i + 1 < w.size() && IS_LOW_SURROGATE(w[i + 1]);
    out[i] = w[i] < 0x80 ? 1 : static_cast<uint8_t>(narrow(&w[i], pair ? 2 : 1).size());
    if (pair) ++i;
  }
  return out;
}

void select(EditBox* e) {
  HWND hwnd = hwndOf(e);
  UnitRange r = selectionUnits(unitWidths(controlText(hwnd)), e->props.selStart, e->props.selLength);
  SendMessageW(hwnd, EM_SETSEL, r.start, r.end);
  SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

// The control's selection, ends in order and within the text.
UnitRange currentSelection(HWND hwnd, size_t length) {
  DWORD s = 0, end = 0;
  SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&end));
  size_t start = std::min<size_t>(s, length);
  return {start, std::min<size_t>(std::max<size_t>(start, end), length)};
}

// The longest prefix of text that keeps the content within the byte limit
// once it replaces the selection.
std::wstring fitToLimit(EditBox* e, const std::wstring& text) {
  HWND hwnd = hwndOf(e);
  std::wstring w = controlText(hwnd);
  UnitRange sel = currentSelection(hwnd, w.size());
  int64_t room = roomForReplacement(unitWidths(w), e->props.maxLength, sel.start, sel.end);
  return text.substr(0, unitsFitting(unitWidths(text), room));
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
    case WM_WINDOWPOSCHANGED:
    case WM_ENABLE:
      followEditBox(e, msg, wp, lp);
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
      destroyUpDown(e);
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

// What a write does to the live edit box once the value is stored; 1 asks
// for re-creation.
int32_t applyChange(EditBox* e, int32_t number, bool changed) {
  HWND hwnd = hwndOf(e);
  switch (number) {
    case 8:
      setContent(e, e->props.content);
      raiseEvent(&e->base, 0);  // once, for the whole write
      return 0;
    case 9: applyBorder(e); return 0;
    case 10: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case 11:
      makeBrush(e);
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return 0;
    case 12: applyFont(e); return 0;
    case 13: case 15: case 16: case 17: case 20: case 21: return changed;
    case 14: SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(e->props.maxLength), 0); return 0;
    case 18: applyInputMode(e); return 0;
    case 19: if (e->props.inputMode == 2) applyInputMode(e); return 0;
    case 24: case 25: select(e); return 0;
  }
  return 0;
}

int32_t RT_CALL propertyChanged(rt::LiveObject* obj, int32_t index, const rt::PropValue* v,
                                const char** errorText) {
  auto* e = reinterpret_cast<EditBox*>(obj);
  int32_t number = index + rt::kFirstOwnProperty;
  if (number == 26) {  // the selected text is the control's, not a stored value
    SendMessageW(hwndOf(e), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(widen(textIn(v)).c_str()));
    return 0;
  }
  int32_t changed = setStored(e->props, number, v);
  return changed < 0 ? 0 : applyChange(e, number, changed == 1);
}

// Content and selection are read from the control, the rest as stored.
int32_t RT_CALL getPropertyData(rt::LiveObject* obj, int32_t index, rt::PropValue* out) {
  auto* e = reinterpret_cast<EditBox*>(obj);
  HWND hwnd = hwndOf(e);
  int32_t number = index + rt::kFirstOwnProperty;
  if (number == 8) {
    e->readBuffer = windowTextOf(hwnd);
    putText(out, e->readBuffer);
    return 1;
  }
  if (number < 24 || number > 26) return getStored(e->props, number, out, &e->readBuffer);
  std::wstring w = controlText(hwnd);
  UnitRange sel = currentSelection(hwnd, w.size());
  UnitWidths widths = unitWidths(w);
  int64_t start = bytesBefore(widths, sel.start), end = bytesBefore(widths, sel.end);
  if (number == 24) putInt(out, static_cast<int32_t>(start));
  else if (number == 25) putInt(out, static_cast<int32_t>(end - start));
  else putText(out, e->readBuffer = narrow(w.c_str() + sel.start, static_cast<int>(sel.end - sel.start)));
  return 1;
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
  static const int32_t kTexts[] = {8};  // content
  walkPropertyTexts(obj, kTexts, 1, fn, ctx);
}

const rt::ComponentOps kEditBoxOps = {
  .version = 1,
  .create = create,
  .propertyChanged = propertyChanged,
  .getAllPropertyData = getAllPropertyData,
  .getPropertyData = getPropertyData,
  .wantsKey = wantsKey,
  .propertyTexts = propertyTexts,
};

}  // namespace

void* RT_CALL editBoxInterface(int32_t op) { return rt::componentOperation(kEditBoxOps, op); }

}  // namespace comp
