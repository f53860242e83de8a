#include <windows.h>

#include <cstring>

#include "browser/bmp_image.h"
#include "browser/browser_commands.h"
#include "browser/browser_view.h"
#include "browser/element_script.h"
#include "browser/engine_loader.h"
#include "browser/text_win.h"
#include "runtime/arguments.h"
#include "runtime/gbk.h"
#include "runtime/value_blocks.h"

namespace web {
namespace {

// The WKE_TB state record (12 bytes).
struct FormFill {
  char* prefix;   // runtime text; null = top document
  int32_t left;
  int32_t top;
};
static_assert(sizeof(FormFill) == 12 || sizeof(void*) != 4, "form-fill records are 12 bytes");

void* runtimeAlloc(uint32_t size) {
  return reinterpret_cast<void*>(uintptr_t(notifyRuntime(rt::kNotifyAlloc, size, 0)));
}

char* newText(std::string_view s) { return rt::buildText(s, runtimeAlloc); }

jsValue runScript(wkeWebView web, const std::string& script) {
  if (!web || !gEngine.wkeRunJSW) return 0;
  return gEngine.wkeRunJSW(web, rt::gbkToWide(script).c_str());
}

// The script's value as a new text (the engine's UTF-8); null without an engine.
char* scriptText(wkeWebView web, const std::string& script) {
  jsValue value = runScript(web, script);
  if (!gEngine.jsToString || !gEngine.wkeGlobalExec) return nullptr;
  const char* text = gEngine.jsToString(gEngine.wkeGlobalExec(web), value);
  return newText(text ? text : "");
}

int scriptInt(wkeWebView web, const std::string& script) {
  jsValue v = runScript(web, script);
  if (!web || !gEngine.jsToInt || !gEngine.wkeGlobalExec) return 0;
  return gEngine.jsToInt(gEngine.wkeGlobalExec(web), v);
}

FormFill* formFillOf(const rt::Value& arg) {
  return reinterpret_cast<FormFill*>(uintptr_t(arg.w[0]));
}

// Shared by the two WKE_TB methods: argument 1 web view, 2 kind, 3 selector,
// 4 match number, 5 visible.
void runElementScript(int32_t argc, rt::Value* args, bool visibility) {
  FormFill* f = argc >= 1 ? formFillOf(args[0]) : nullptr;
  int32_t web, kind, match, visible;
  std::string_view selector;
  if (!f || !rt::intArg(argc, args, 1, 0, &web) || !rt::intArg(argc, args, 2, 0, &kind) ||
      !rt::textArg(argc, args, 3, {}, &selector) || !rt::intArg(argc, args, 4, 1, &match) ||
      !rt::intArg(argc, args, 5, 0, &visible))
    return;
  std::string expression = elementExpression(f->prefix ? f->prefix : "", kind, selector, match);
  runScript(reinterpret_cast<wkeWebView>(uintptr_t(uint32_t(web))),
            visibility ? visibleScript(expression, visible != 0) : clickScript(expression));
}

// The rows of the 32-bit DIB section selected into dc, once drawing into
// it has landed; false when it holds none or their order cannot be told.
bool sectionRows(HDC dc, PixelRows* rows) {
  DIBSECTION ds;
  HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  if (!bitmap || GetObjectW(bitmap, sizeof ds, &ds) != int(sizeof ds) || !ds.dsBm.bmBits ||
      ds.dsBm.bmBitsPixel != 32)
    return false;
  GdiFlush();
  *rows = {static_cast<const uint8_t*>(ds.dsBm.bmBits), int32_t(ds.dsBm.bmWidth),
           int32_t(ds.dsBm.bmHeight), size_t(ds.dsBm.bmWidthBytes), false};
  int32_t x, k;
  if (!rowOrderWitness(*rows, &x, &k)) return true;
  // The stored row k is the top's row k, or the order is bottom-up.
  const COLORREF shown = GetPixel(dc, x, k);
  const uint8_t* p = rows->bits + size_t(k) * rows->stride + size_t(x) * 4;
  const uint8_t* q = rows->bits + size_t(rows->height - 1 - k) * rows->stride + size_t(x) * 4;
  if (shown == RGB(p[2], p[1], p[0])) return true;
  rows->bottomUp = true;
  return shown == RGB(q[2], q[1], q[0]);
}

// A snapshot's file image with its header, the pixels zero.
uint8_t* bmpBlock(int32_t width, int32_t height) {
  uint8_t* block = rt::buildByteSet(nullptr, bmpFileSize(width, height, 32), runtimeAlloc);
  if (block) writeBmpHeader(rt::byteSetData(block), width, height, 32);
  return block;
}

// Any other surface is blitted into a section of our own, whose rows are
// the file's already (32 bits, bottom-up). Null when that fails.
uint8_t* blittedBmp(HDC dc, int32_t width, int32_t height, int32_t left, int32_t top) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  uint8_t* block = nullptr;
  if (bitmap) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, left, top, SRCCOPY);
    GdiFlush();
    block = bmpBlock(width, height);
    if (block)
      std::memcpy(rt::byteSetData(block) + kBmpHeaderSize, bits, size_t(width) * size_t(height) * 4);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  return block;
}

}  // namespace

void RT_CALL LoadUrl(rt::Value* result, int32_t argc, rt::Value* args) {
  View* v = argc >= 1 ? FindView(args[0]) : nullptr;
  std::string_view url;
  if (!v || !gEngine.wkeLoadURL || !rt::textArg(argc, args, 1, {}, &url)) return;
  gEngine.wkeLoadURL(v->webView, std::string(url).c_str());
}

void RT_CALL GetElementHtml(rt::Value* result, int32_t argc, rt::Value* args) {
  View* v = argc >= 1 ? FindView(args[0]) : nullptr;
  if (!v) return;
  wkeWebView web = v->webView;
  int32_t frame, kind, match;
  std::string_view selector;
  if (!rt::intArg(argc, args, 1, 0, &frame) || !rt::intArg(argc, args, 2, 2, &kind) ||
      !rt::textArg(argc, args, 3, {}, &selector) || !rt::intArg(argc, args, 4, 1, &match))
    return;
  if (kind < 1) kind = 2;
  if (selector.empty()) selector = "html";
  FramePrefix prefix;
  if (frame >= 2) {
    int count = scriptInt(web, kCountFramesScript);
    prefix = buildFramePrefix(frame, count,
                              [web](const std::string& s) { return scriptInt(web, s); });
  }
  std::string script =
      outerHtmlScript(elementExpression(prefix.prefix, kind, selector, match));
  result->text = scriptText(web, script);
}

void RT_CALL GetWebViewHandle(rt::Value* result, int32_t argc, rt::Value* args) {
  View* v = argc >= 1 ? FindView(args[0]) : nullptr;
  result->u = v ? uint32_t(uintptr_t(v->webView)) : 0;
}

void RT_CALL CaptureViewBitmap(rt::Value* result, int32_t argc, rt::Value* args) {
  void* window = nullptr;
  View* v = argc >= 1 ? FindView(args[0], &window) : nullptr;
  if (!v || !gEngine.wkeGetViewDC) return;
  HDC viewDc = gEngine.wkeGetViewDC(v->webView);
  RECT client = {};
  GetClientRect(HWND(window), &client);
  int32_t area[4] = {0, 0, client.right - client.left, client.bottom - client.top};
  for (int32_t i = 0; i < 4; ++i) {
    int32_t given;
    if (!rt::intArg(argc, args, i + 1, 0, &given)) return;
    if (given > 0) area[i] = given;
  }
  const int32_t left = area[0], top = area[1], width = area[2], height = area[3];
  uint32_t fileSize = bmpFileSize(width, height, 32);
  if (!viewDc || fileSize == 0) return;

  // The engine draws into a 32-bit DIB section: its rows are read where
  // they lie, one copy, with no section of our own to blit into.
  PixelRows rows;
  if (!sectionRows(viewDc, &rows)) {
    result->bin = blittedBmp(viewDc, width, height, left, top);
    return;
  }
  result->bin = bmpBlock(width, height);
  if (result->bin)
    copyBmpRows(rt::byteSetData(result->bin) + kBmpHeaderSize, width, height, rows, left, top);
}

void RT_CALL SetDeviceParameter(rt::Value* result, int32_t argc, rt::Value* args) {
  View* v = argc >= 1 ? FindView(args[0]) : nullptr;
  std::string_view name, text;
  int32_t number;
  if (!v || !gEngine.wkeSetDeviceParameter || !rt::textArg(argc, args, 1, {}, &name) ||
      !rt::textArg(argc, args, 2, {}, &text) || !rt::intArg(argc, args, 3, 0, &number))
    return;
  const std::string nameText(name), valueText(text);
  // The real value is the low word read as a float, whatever its tag.
  const float real = rt::argAt(argc, args, 4) ? args[4].f : 0.0f;
  gEngine.wkeSetDeviceParameter(v->webView, nameText.c_str(),
                                rt::argAt(argc, args, 2) ? valueText.c_str() : nullptr, number,
                                real);
}

void RT_CALL Utf8ToText(rt::Value* result, int32_t argc, rt::Value* args) {
  if (argc < 1) return;
  const rt::Value& a = args[0];
  std::string source;
  if (a.tag == rt::kTagText) {
    source = a.text ? a.text : "";
  } else if (a.tag == rt::kTagBin) {
    source = rt::byteSetBytes(a.bin);
    source.resize(strnlen(source.c_str(), source.size()));  // up to the first zero
  } else if (a.tag == rt::kTagInt) {
    auto* p = reinterpret_cast<const char*>(uintptr_t(a.u));
    if (!p || IsBadCodePtr(reinterpret_cast<FARPROC>(const_cast<char*>(p)))) return;
    source = p;
  } else {
    return;
  }
  result->text = newText(utf8ToGbk(source));
}

void RT_CALL FormFillCreate(rt::Value* result, int32_t argc, rt::Value* args) {
  auto* variable = argc >= 1 ? reinterpret_cast<uint32_t*>(uintptr_t(args[0].w[0])) : nullptr;
  if (!variable) return;
  auto* record = static_cast<FormFill*>(
      reinterpret_cast<void*>(uintptr_t(notifyRuntime(rt::kNotifyAlloc, sizeof(FormFill), 1))));
  if (record) std::memset(record, 0, sizeof *record);
  *variable = uint32_t(uintptr_t(record));
}

void RT_CALL FormFillDestroy(rt::Value* result, int32_t argc, rt::Value* args) {
  auto* variable = argc >= 1 ? reinterpret_cast<uint32_t*>(uintptr_t(args[0].w[0])) : nullptr;
  if (!variable) return;
  auto* record = reinterpret_cast<FormFill*>(uintptr_t(*variable));
  if (record) {
    if (record->prefix) notifyRuntime(rt::kNotifyFree, uint32_t(uintptr_t(record->prefix)), 0);
    notifyRuntime(rt::kNotifyFree, uint32_t(uintptr_t(record)), 0);
  }
  *variable = 0;
}

void RT_CALL ClickElement(rt::Value* result, int32_t argc, rt::Value* args) {
  runElementScript(argc, args, false);
}

void RT_CALL SetElementVisible(rt::Value* result, int32_t argc, rt::Value* args) {
  runElementScript(argc, args, true);
}

void RT_CALL RunPageScript(rt::Value* result, int32_t argc, rt::Value* args) {
  View* v = argc >= 1 ? FindView(args[0]) : nullptr;
  std::string_view script;
  if (!v || !rt::textArg(argc, args, 1, {}, &script) || script.empty()) return;
  result->text = scriptText(v->webView, std::string(script));
}

void RT_CALL IsPageLoading(rt::Value* result, int32_t argc, rt::Value* args) {
  View* v = argc >= 1 ? FindView(args[0]) : nullptr;
  result->i = v && v->webView && gEngine.wkeIsLoading && gEngine.wkeIsLoading(v->webView) ? 1 : 0;
}

void RT_CALL IsViewPictureReady(rt::Value* result, int32_t argc, rt::Value* args) {
  View* v = argc >= 1 ? FindView(args[0]) : nullptr;
  const bool dirty = v && v->webView && gEngine.wkeIsDirty && gEngine.wkeIsDirty(v->webView);
  if (dirty && gEngine.wkeSetDirty) gEngine.wkeSetDirty(v->webView, true);
  result->i = dirty ? 0 : 1;
}

const rt::CommandFn kBrowserCommands[kBrowserCommandCount] = {
    LoadUrl,        GetElementHtml,  GetWebViewHandle, CaptureViewBitmap,
    SetDeviceParameter, Utf8ToText,  FormFillCreate,   FormFillDestroy,
    ClickElement,   SetElementVisible, RunPageScript,  IsPageLoading,
    IsViewPictureReady,
};

}  // namespace web
