#include "engine/view_win.h"

#include <windowsx.h>

#include <set>
#include <vector>

#include "engine/connection_win.h"
#include "engine/handshake.h"
#include "engine/script.h"

namespace engine {
namespace {

const wchar_t kClass[] = L"PaginetEngineView";

int modifiers() {
  int m = 0;
  if (GetKeyState(VK_MENU) < 0) m |= 1;
  if (GetKeyState(VK_CONTROL) < 0) m |= 2;
  if (GetKeyState(VK_SHIFT) < 0) m |= 8;
  return m;
}

void registerClass() {
  static bool done = [] {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window once the view exists
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc) != 0;
  }();
  (void)done;
}

std::set<const void*>& views() {
  static std::set<const void*> all;
  return all;
}

std::string str(const Json& j, const char* key) {
  auto it = j.find(key);
  return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

}  // namespace

View* View::create(int type, HWND parent, int x, int y, int w, int h) {
  registerClass();
  DWORD style = type == 2 ? WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP
                          : WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  HWND hwnd = CreateWindowExW(0, kClass, L"", style, x, y, w > 0 ? w : 1, h > 0 ? h : 1,
                              type == 2 ? parent : nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) {
    engineLog("CreateWindowExW failed, error " + std::to_string(GetLastError()));
    return nullptr;
  }
  View* v = new View();
  views().insert(v);
  v->hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&View::windowProc));
  RECT rc;
  GetClientRect(hwnd, &rc);
  v->w_ = rc.right > 0 ? rc.right : 1;
  v->h_ = rc.bottom > 0 ? rc.bottom : 1;
  v->dib_.resize(v->w_, v->h_);
  if (!v->startPage()) v->detached_ = true;
  return v;
}

bool View::startPage() {
  Session* s = Connection::get().session();
  if (!s) return false;
  Reply t = s->call("Target.createTarget", {{"url", "about:blank"}});
  targetId_ = str(t.result, "targetId");
  if (!t.ok || targetId_.empty()) { engineLog("createTarget failed: " + t.error); return false; }
  Reply a = s->call("Target.attachToTarget", {{"targetId", targetId_}, {"flatten", true}});
  sessionId_ = str(a.result, "sessionId");
  if (!a.ok || sessionId_.empty()) { engineLog("attachToTarget failed: " + a.error); return false; }
  Connection::get().attach(sessionId_, this);
  call("Page.enable");
  call("Runtime.enable");
  // Title changes after load and the link under the mouse come from the page.
  call("Runtime.addBinding", {{"name", std::string(kNoticeBinding)}});
  call("Page.addScriptToEvaluateOnNewDocument", {{"source", pageWatchScript()}});
  // Every request pauses here: the application may refuse a main-frame
  // navigation, or take any request for itself.
  call("Fetch.enable", {{"patterns", Json::array({{{"urlPattern", "*"}}})}});
  applyMetrics();
  // Frames come on damage only; the capture in viewDC covers the rest.
  call("Page.startScreencast", {{"format", "jpeg"}, {"quality", 85}, {"everyNthFrame", 1}});
  return true;
}

bool View::live() const {
  return !detached_ && !sessionId_.empty() && Connection::get().session() != nullptr;
}

Reply View::call(const std::string& method, const Json& params, int timeoutMs) {
  Session* s = Connection::get().session();
  if (!s || detached_ || sessionId_.empty()) return Reply{false, {}, "no page"};
  return s->call(method, params, sessionId_, timeoutMs);
}

void View::post(const std::string& method, const Json& params) {
  Session* s = Connection::get().session();
  if (s && !detached_ && !sessionId_.empty()) s->post(method, params, sessionId_);
}

void View::applyMetrics() {
  Json m = {{"width", w_}, {"height", h_}, {"deviceScaleFactor", 1}, {"mobile", false}};
  if (device_.screenWidth) m["screenWidth"] = *device_.screenWidth;
  if (device_.screenHeight) m["screenHeight"] = *device_.screenHeight;
  call("Emulation.setDeviceMetricsOverride", m);
}

View* View::find(const void* handle) {
  return handle && views().count(handle) ? static_cast<View*>(const_cast<void*>(handle)) : nullptr;
}

void View::destroy() {
  views().erase(this);
  forgetAppData(*this);
  if (!targetId_.empty()) {
    if (Session* s = Connection::get().session()) s->post("Target.closeTarget", {{"targetId", targetId_}});
  }
  Connection::get().retire(this);
}

void View::loadUrl(const std::string& url) {
  stale_ = true;
  post("Page.navigate", {{"url", url}});
}

void View::loadHtml(const std::string& html) {
  Reply tree = call("Page.getFrameTree");
  std::string frameId;
  if (tree.ok && tree.result.contains("frameTree")) frameId = str(tree.result["frameTree"]["frame"], "id");
  if (frameId.empty()) return;
  stale_ = true;
  post("Page.setDocumentContent", {{"frameId", frameId}, {"html", html}});
}

void View::reload() {
  stale_ = true;
  post("Page.reload", Json::object());
}

void View::setUserAgent(const std::string& ua) {
  Json p = {{"userAgent", ua}};
  if (device_.platform) p["platform"] = *device_.platform;
  call("Emulation.setUserAgentOverride", p);
}

void View::setDeviceParam(const char* name, const char* text, int number) {
  if (!name || !engine::setDeviceParam(device_, name, text, number)) return;
  std::string script = deviceScript(device_);
  // One start-up script at a time, holding every value set so far.
  if (!deviceScriptId_.empty())
    call("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", deviceScriptId_}});
  Reply r = call("Page.addScriptToEvaluateOnNewDocument", {{"source", script}});
  deviceScriptId_ = str(r.result, "identifier");
  call("Runtime.evaluate", {{"expression", script}});
  if (std::string(name).rfind("screen.", 0) == 0) applyMetrics();
}

bool View::runScript(const std::string& body, std::string& text, int& number) {
  text.clear();
  number = 0;
  if (!live()) return false;
  stale_ = true;
  Reply r = call("Runtime.evaluate",
                 {{"expression", wrapFunctionBody(body)}, {"returnByValue", true}, {"awaitPromise", true},
                  {"userGesture", true}, {"timeout", 10000}},
                 12000);
  if (!r.ok) { engineLog("script failed: " + r.error); return false; }
  ScriptResult s = readScriptResult(r.result);
  if (!s.ok) { engineLog("script failed: " + s.error); return false; }
  text = std::move(s.text);
  number = s.number;
  return true;
}

std::string View::title() {
  Reply r = call("Runtime.evaluate", {{"expression", "document.title"}, {"returnByValue", true}});
  if (!r.ok) return {};
  if (r.result.contains("result")) title_ = str(r.result["result"], "value");
  return title_;
}

void View::checkTitle() { titleSeen(title()); }

void View::titleSeen(const std::string& t) {
  if (t == noticedTitle_) return;
  noticedTitle_ = t;
  NoticeArgs a;
  a.text = t;
  notifyApp(*this, Notice::TitleChanged, a);
}

void View::openWindow(const Json& p) {
  NoticeArgs a;
  a.text = str(p, "url");
  a.number = p.value("userGesture", false) ? 0 : 5;  // opened by the user, or by a script
  std::vector<std::string> features;
  if (auto f = p.find("windowFeatures"); f != p.end() && f->is_array())
    for (const auto& item : *f)
      if (item.is_string()) features.push_back(item.get<std::string>());
  a.window = readWindowFeatures(features);
  if (!a.window.width) a.window.width = w_;
  if (!a.window.height) a.window.height = h_;
  notifyApp(*this, Notice::CreateView, a);
  // The browser's own window for it is closed (see Connection); the
  // application's view loads the address instead.
  View* target = find(a.created);
  if (target && !a.text.empty()) target->loadUrl(a.text);
}

void View::onDownload(const Json& p) {
  NoticeArgs a;
  a.text = str(p, "url");
  a.answer = false;
  notifyApp(*this, Notice::Download, a);
  // Nothing is written to disk unless the application takes the download.
  if (!a.answer) {
    if (Session* s = Connection::get().session())
      s->post("Browser.cancelDownload", {{"guid", str(p, "guid")}});
  }
}

void View::captureNow() {
  Reply r = call("Page.captureScreenshot", {{"format", "png"}}, 8000);
  std::string png, reason;
  if (!r.ok || !base64Decode(str(r.result, "data"), png) || !dib_.load(png, reason)) {
    engineLog("capture failed: " + (r.ok ? reason : r.error));
    return;
  }
  stale_ = false;
  pendingFrame_.clear();
}

HDC View::viewDC() {
  // Without a page there is nothing to show: the last picture would pass
  // for a new one.
  if (!live()) return nullptr;
  if (stale_) captureNow();
  return dib_.dc();
}

void View::onEvent(const Event& e) {
  const Json& p = e.params;
  if (e.method == "Page.screencastFrame") {
    post("Page.screencastFrameAck", {{"sessionId", p.value("sessionId", 0)}});
    pendingFrame_ = str(p, "data");
    stale_ = true;
  } else if (e.method == "Page.frameNavigated") {
    if (p.contains("frame") && !p["frame"].contains("parentId")) {
      url_ = str(p["frame"], "url");
      NoticeArgs a;
      a.text = url_;
      a.number = 1;
      notifyApp(*this, Notice::UrlChanged, a);
    }
  } else if (e.method == "Page.navigatedWithinDocument") {
    url_ = str(p, "url");
    NoticeArgs a;
    a.text = url_;
    a.number = 1;
    notifyApp(*this, Notice::UrlChanged, a);
  } else if (e.method == "Page.domContentEventFired") {
    stale_ = true;
    NoticeArgs a;
    a.number = 1;
    notifyApp(*this, Notice::DocumentReady, a);
    checkTitle();
  } else if (e.method == "Page.loadEventFired") {
    stale_ = true;
    checkTitle();
    NoticeArgs a;
    a.text = url_;
    notifyApp(*this, Notice::LoadingFinished, a);
  } else if (e.method == "Runtime.consoleAPICalled") {
    NoticeArgs a;
    if (p.contains("args") && p["args"].is_array()) {
      for (const auto& arg : p["args"]) {
        if (!a.text.empty()) a.text += ' ';
        a.text += arg.contains("value") ? (arg["value"].is_string() ? arg["value"].get<std::string>()
                                                                    : arg["value"].dump())
                                        : str(arg, "description");
      }
    }
    notifyApp(*this, Notice::Console, a);
  } else if (e.method == "Page.javascriptDialogOpening") {
    // The page stalls until the dialog is answered.
    std::string type = str(p, "type");
    NoticeArgs a;
    a.text = str(p, "message");
    a.text2 = str(p, "defaultPrompt");
    Json answer = {{"accept", true}};
    if (type == "alert") {
      notifyApp(*this, Notice::Alert, a);
    } else if (type == "confirm") {
      notifyApp(*this, Notice::Confirm, a);
      answer["accept"] = a.answer;
    } else {
      notifyApp(*this, Notice::Prompt, a);
      answer["accept"] = a.answer;
      answer["promptText"] = a.text2;
    }
    post("Page.handleJavaScriptDialog", answer);
  } else if (e.method == "Fetch.requestPaused") {
    // Every pause must be answered or the load hangs.
    std::string id = str(p, "requestId");
    std::string url = p.contains("request") ? str(p["request"], "url") : std::string();
    bool requestStage = !p.contains("responseStatusCode");  // the only stage asked for
    bool allow = true;
    if (requestStage && str(p, "resourceType") == "Document" && str(p, "frameId") == targetId_) {
      NoticeArgs a;
      a.text = url;
      notifyApp(*this, Notice::Navigation, a);
      allow = a.answer;
    }
    if (allow && requestStage) {
      NoticeArgs a;
      a.text = url;
      a.number = ++jobs_;
      a.answer = false;
      notifyApp(*this, Notice::UrlBegin, a);
      allow = !a.answer;  // taken by the application: the page does not get it
    }
    if (allow) post("Fetch.continueRequest", {{"requestId", id}});
    else post("Fetch.failRequest", {{"requestId", id}, {"errorReason", "Aborted"}});
  } else if (e.method == "Runtime.bindingCalled") {
    if (str(p, "name") != kNoticeBinding) return;
    PageNotice n = readPageNotice(str(p, "payload"));
    if (n.kind == PageNotice::Title) {
      titleSeen(n.text);
    } else if (n.kind == PageNotice::Hover && n.text != hover_) {
      hover_ = n.text;
      NoticeArgs a;
      a.text = hover_;
      notifyApp(*this, Notice::HoverUrl, a);
    }
  } else if (e.method == "Page.windowOpen") {
    openWindow(p);
  } else if (e.method == "Inspector.targetCrashed" || e.method == "Inspector.detached") {
    onDetached();
  }
}

void View::afterEvents() {
  if (pendingFrame_.empty()) return;
  std::string jpeg, reason;
  bool ok = base64Decode(pendingFrame_, jpeg) && dib_.load(jpeg, reason);
  pendingFrame_.clear();
  if (!ok) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  NoticeArgs a;
  notifyApp(*this, Notice::PaintUpdated, a);
}

void View::onDetached() {
  if (detached_) return;
  detached_ = true;
  engineLog("page of a web view is gone");
}

void View::mouse(const char* type, LPARAM l, const char* button, int clicks) {
  Json p = {{"type", type}, {"x", GET_X_LPARAM(l)}, {"y", GET_Y_LPARAM(l)}, {"modifiers", modifiers()},
            {"button", button}, {"buttons", buttons_}, {"clickCount", clicks}};
  stale_ = true;
  post("Input.dispatchMouseEvent", p);
}

LRESULT CALLBACK View::windowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* v = reinterpret_cast<View*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!v) return DefWindowProcW(h, msg, w, l);
  return v->handle(msg, w, l);
}

LRESULT View::handle(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      BitBlt(dc, 0, 0, dib_.width(), dib_.height(), dib_.dc(), 0, 0, SRCCOPY);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      int nw = LOWORD(l), nh = HIWORD(l);
      if (nw > 0 && nh > 0 && (nw != w_ || nh != h_)) {
        w_ = nw;
        h_ = nh;
        stale_ = true;
        applyMetrics();
      }
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
      SetFocus(hwnd_);
      buttons_ |= 1;
      mouse("mousePressed", l, "left", msg == WM_LBUTTONDBLCLK ? 2 : 1);
      return 0;
    case WM_LBUTTONUP:
      buttons_ &= ~1;
      mouse("mouseReleased", l, "left", 1);
      return 0;
    case WM_RBUTTONDOWN:
      buttons_ |= 2;
      mouse("mousePressed", l, "right", 1);
      return 0;
    case WM_RBUTTONUP:
      buttons_ &= ~2;
      mouse("mouseReleased", l, "right", 1);
      return 0;
    case WM_MOUSEMOVE:
      mouse("mouseMoved", l, "none", 0);
      return 0;
    case WM_MOUSEWHEEL: {
      POINT pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(hwnd_, &pt);
      stale_ = true;
      post("Input.dispatchMouseEvent", {{"type", "mouseWheel"}, {"x", pt.x}, {"y", pt.y}, {"deltaX", 0},
                                        {"deltaY", -GET_WHEEL_DELTA_WPARAM(w)}, {"modifiers", modifiers()}});
      return 0;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: {
      bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
      stale_ = true;
      post("Input.dispatchKeyEvent", {{"type", down ? "rawKeyDown" : "keyUp"},
                                      {"windowsVirtualKeyCode", static_cast<int>(w)},
                                      {"nativeVirtualKeyCode", static_cast<int>(w)},
                                      {"modifiers", modifiers()}});
      return msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP ? DefWindowProcW(hwnd_, msg, w, l) : 0;
    }
    case WM_CHAR: {
      if (w < 0x20 && w != '\r' && w != '\t') return 0;
      wchar_t ch[2] = {static_cast<wchar_t>(w), 0};
      char utf8[8] = {};
      WideCharToMultiByte(CP_UTF8, 0, ch, 1, utf8, sizeof utf8, nullptr, nullptr);
      stale_ = true;
      post("Input.dispatchKeyEvent", {{"type", "char"}, {"text", utf8}, {"modifiers", modifiers()}});
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_CLOSE: {
      NoticeArgs a;
      notifyApp(*this, Notice::WindowClosing, a);
      if (a.answer) DestroyWindow(hwnd_);
      return 0;
    }
    case WM_NCDESTROY: {
      NoticeArgs a;
      notifyApp(*this, Notice::WindowDestroy, a);
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      LRESULT r = DefWindowProcW(hwnd_, msg, w, l);
      hwnd_ = nullptr;
      destroy();
      return r;
    }
  }
  return DefWindowProcW(hwnd_, msg, w, l);
}

}  // namespace engine
