// Browser view component: creation, properties and the component interface.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "browser/browser_view.h"
#include "browser/engine_loader.h"
#include "browser/presets.h"
#include "runtime/component_ops.h"
#include "runtime/gbk.h"

namespace web {

const wchar_t kClosingProp[] = L"{478011B2-E06D-4B4B-A323-5B4AD8F78DE6}";

namespace {

wkeWebView wv(const View* v) { return v->webView; }

void applyFullPath(View* v, const std::string& path,
                   void(ENGINE_CALL* set)(wkeWebView, const wchar_t*)) {
  std::wstring wide = rt::gbkToWide(path);
  std::wstring full = fullPath<wchar_t>(v->runDir, wide);
  if (set) set(wv(v), full.c_str());
}

void loadBlank(View* v) {
  if (gEngine.wkeLoadHTMLW) gEngine.wkeLoadHTMLW(wv(v), L" ");
}

void loadAddress(View* v) {
  if (gEngine.wkeLoadURLW) gEngine.wkeLoadURLW(wv(v), rt::gbkToWide(v->props.url).c_str());
}

void applyUserAgent(View* v) {
  if (gEngine.wkeSetUserAgent) gEngine.wkeSetUserAgent(wv(v), v->props.userAgent.c_str());
}

std::string textOf(const rt::PropValue* value) {
  return value && value->text ? std::string(value->text) : std::string();
}

int32_t flagOf(const rt::PropValue* value) { return value && value->i ? 1 : 0; }

int32_t RT_CALL propertyChanged(rt::LiveObject* handle, int32_t index, const rt::PropValue* value,
                                const char** errorText) {
  View* v = viewOfHandle(handle);
  if (!v || index < 0 || index > 8) return 0;
  ViewProperties& p = v->props;
  switch (index) {
    case 0:
      p.url = textOf(value);
      if (p.url.empty()) loadBlank(v);
      else if (runningLive(v)) loadAddress(v);
      break;
    case 1:
      break;  // the title is the page's
    case 2:
      p.disableF5 = flagOf(value);
      break;
    case 3:
      p.disableCookies = flagOf(value);
      if (gEngine.wkeSetCookieEnabled) gEngine.wkeSetCookieEnabled(wv(v), p.disableCookies == 0);
      break;
    case 4:
      p.localStoragePath = textOf(value);
      applyFullPath(v, p.localStoragePath, gEngine.wkeSetLocalStorageFullPath);
      break;
    case 5:
      p.cookiePath = textOf(value);
      applyFullPath(v, p.cookiePath, gEngine.wkeSetCookieJarPath);
      break;
    case 6: {
      std::string written = textOf(value);
      const char* preset = presetUserAgent(written);
      p.userAgent = preset ? preset : written;
      if (runningLive(v)) {
        applyUserAgent(v);
        if (gEngine.wkeReload) gEngine.wkeReload(wv(v));
      }
      break;
    }
    case 7:
      v->designPreview = flagOf(value);
      if (v->designPreview) {
        if (!p.userAgent.empty()) applyUserAgent(v);
        if (!p.url.empty()) loadAddress(v);
      } else {
        loadBlank(v);
      }
      break;
    case 8:
      p.allowNewWindows = flagOf(value);
      if (gEngine.wkeSetNavigationToNewWindowEnable)
        gEngine.wkeSetNavigationToNewWindowEnable(wv(v), p.allowNewWindows != 0);
      break;
  }
  return 0;
}

int32_t RT_CALL getPropertyData(rt::LiveObject* handle, int32_t index, rt::PropValue* out) {
  View* v = viewOfHandle(handle);
  if (!v || !out || index < 0 || index > 8) return 0;
  const ViewProperties& p = v->props;
  switch (index) {
    case 0: out->text = p.url.c_str(); return 1;
    case 1: {
      const char* t = gEngine.wkeGetTitle ? gEngine.wkeGetTitle(wv(v)) : nullptr;
      v->title = t ? t : "";
      out->text = v->title.c_str();
      return 1;
    }
    case 2: out->i = p.disableF5 ? 1 : 0; return 1;
    case 3: out->i = p.disableCookies ? 1 : 0; return 1;
    case 4: out->text = p.localStoragePath.c_str(); return 1;
    case 5: out->text = p.cookiePath.c_str(); return 1;
    case 6: out->text = p.userAgent.c_str(); return 1;
    case 7: out->i = v->designPreview ? 1 : 0; return 0;  // stored, reported unavailable
    default: out->i = p.allowNewWindows ? 1 : 0; return 1;
  }
}

uint8_t* RT_CALL getAllPropertyData(rt::LiveObject* handle, uint32_t* size) {
  View* v = viewOfHandle(handle);
  if (size) *size = 0;
  if (!v) return nullptr;
  std::vector<uint8_t> block = writeViewProperties(v->props);
  auto* out = reinterpret_cast<uint8_t*>(
      uintptr_t(notifyRuntime(rt::kNotifyAlloc, uint32_t(block.size()), 0)));
  if (!out) return nullptr;
  std::memcpy(out, block.data(), block.size());
  if (size) *size = uint32_t(block.size());
  return out;
}

void failCreation(HWND parent) {
  wchar_t message[128];
  _snwprintf(message, 127, L"创建 Velmoweb浏览器 组件失败\n错误码 = %d", int(GetLastError()));
  message[127] = 0;
  MessageBoxW(parent, message, L"创建组件失败", MB_OK | MB_ICONERROR);
}

rt::LiveObject* RT_CALL create(const uint8_t* data, uint32_t size, uint32_t style, void* parent,
                               uint32_t controlId, void* menu, int32_t left, int32_t top,
                               int32_t width, int32_t height, uint32_t windowId,
                               uint32_t componentId, void* designOwner, int32_t designFlag) {
  // A newer block fails creation, as every component's does.
  ViewProperties props;
  if (size >= 1 && readViewProperties(data, size, &props) == rt::ReadStatus::kNewerVersion)
    return nullptr;
  if (!initEngine()) return nullptr;
  View* v = findRegistered(windowId, componentId);
  bool fresh = v == nullptr;
  if (fresh) {
    v = newView();
  } else if (v->hwnd && IsWindow(HWND(v->hwnd))) {
    SetPropW(HWND(v->hwnd), kClosingProp, HANDLE(&v->live));
    PostMessageW(HWND(v->hwnd), WM_CLOSE, 0, 0);
  }
  v->props = props;
  v->designOwner = designOwner;
  v->parent = parent;
  v->controlId = controlId;
  v->windowId = windowId;
  v->componentId = componentId;
  v->designFlag = designFlag;
  v->style = style;
  v->spare[0] = v->spare[1] = 0;

  v->webView = gEngine.wkeCreateWebWindow(2, HWND(parent), left, top, width, height);
  HWND hwnd = nullptr;
  if (v->webView) {
    if (gEngine.wkeShowWindow) gEngine.wkeShowWindow(v->webView, true);
    if (gEngine.wkeSetTransparent) gEngine.wkeSetTransparent(v->webView, false);
    hwnd = gEngine.wkeGetWindowHandle(v->webView);
    if (hwnd && IsWindow(hwnd)) {
      if (gEngine.wkeSetCspCheckEnable) gEngine.wkeSetCspCheckEnable(v->webView, false);
      if (gEngine.wkeSetNpapiPluginsEnabled) gEngine.wkeSetNpapiPluginsEnabled(v->webView, true);
      if (gEngine.wkeSetNavigationToNewWindowEnable)
        gEngine.wkeSetNavigationToNewWindowEnable(v->webView, true);
    } else {
      hwnd = nullptr;
    }
  }
  if (!hwnd) {
    failCreation(HWND(parent));
    if (fresh) releaseView(v);
    else v->hwnd = nullptr;   // the registry entry keeps it for a later attempt
    return nullptr;
  }
  // The record's tab stop makes the view a focus candidate of its window.
  if (style & WS_TABSTOP) SetWindowLongW(hwnd, GWL_STYLE, GetWindowLongW(hwnd, GWL_STYLE) | WS_TABSTOP);
  ULONG_PTR classStyle = GetClassLongPtrW(hwnd, GCL_STYLE);
  if (!(classStyle & CS_DBLCLKS)) SetClassLongPtrW(hwnd, GCL_STYLE, classStyle | CS_DBLCLKS);
  v->hwnd = hwnd;
  v->live = {hwnd, windowId, componentId, rt::kTypeBrowserView, nullptr};

  const ViewProperties& p = v->props;
  if (!p.userAgent.empty()) applyUserAgent(v);
  if (p.disableCookies && gEngine.wkeSetCookieEnabled) gEngine.wkeSetCookieEnabled(v->webView, false);
  if (designFlag == 0) {
    v->runDir = rt::gbkToWide(runDirectory());
    if (!p.localStoragePath.empty())
      applyFullPath(v, p.localStoragePath, gEngine.wkeSetLocalStorageFullPath);
    if (!p.cookiePath.empty()) applyFullPath(v, p.cookiePath, gEngine.wkeSetCookieJarPath);
    if (!p.url.empty()) loadAddress(v);
    if (gEngine.wkeSetNavigationToNewWindowEnable)
      gEngine.wkeSetNavigationToNewWindowEnable(v->webView, p.allowNewWindows != 0);
    v->flags |= kViewIsComponent;
    registerNotifications(v);
  } else if (v->designPreview && !p.url.empty()) {
    loadAddress(v);
  }
  // The runtime wraps the window; the view's own header is the live object.
  notifyRuntime(rt::kNotifyWrapWindow, uint32_t(uintptr_t(hwnd)), 0);
  registerView(windowId, componentId, v);
  return &v->live;
}

int32_t RT_CALL answerOne() { return 1; }
int32_t RT_CALL answerZero() { return 0; }
// The page gets the keys its engine window asks for (Tab and Return in a
// form) before the window's own keyboard handling takes them.
int32_t RT_CALL wantsKey(rt::LiveObject* handle, uint32_t key) {
  View* v = viewOfHandle(handle);
  return v && v->hwnd &&
         (SendMessageW(HWND(v->hwnd), WM_GETDLGCODE, key, 0) & DLGC_WANTALLKEYS) ? 1 : 0;
}
void RT_CALL defaultSize(int32_t* width, int32_t* height) {
  if (width) *width = 200;
  if (height) *height = 100;
}

const rt::ComponentOps kViewOps = {
  .version = 1,
  .create = create,
  .query2 = answerOne,
  .query3 = answerZero,
  .propertyChanged = propertyChanged,
  .getAllPropertyData = getAllPropertyData,
  .getPropertyData = getPropertyData,
  .wantsKey = wantsKey,
  .defaultSize = defaultSize,
};

}  // namespace

bool runningLive(const View* v) { return v->designFlag == 0 || v->designPreview != 0; }

void* RT_CALL browserViewInterface(int32_t op) { return rt::componentOperation(kViewOps, op); }

}  // namespace web
