// A view's life and the commands it sends to its page.
#include "engine/view_win.h"

#include <bcrypt.h>

#include <cmath>
#include <cstdio>
#include <set>

#include "engine/connection_win.h"
#include "engine/script.h"

namespace engine {
namespace {

const wchar_t kClass[] = L"PaginetEngineView";

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

const ViewCalls kViewCalls = {
    .startPage = [](View* v) { v->startPage(); },
    .onEvent = [](View* v, const Event& e) { v->onEvent(e); },
    .onFrame = [](View* v, std::string data) { v->onFrame(std::move(data)); },
    .afterEvents = [](View* v) { v->afterEvents(); },
    .onDetached = [](View* v) { v->onDetached(); },
    .setOffline = [](View* v, bool offline) { v->setOffline(offline); },
    .onDownload = [](View* v, const Json& params) { return v->onDownload(params); },
    .targetId = [](const View* v) -> const std::string& { return v->targetId(); },
    .free = [](View* v) { delete v; },
    .count = View::count,
};

}  // namespace

View* View::create(int type, HWND parent, int x, int y, int w, int h, const AppCalls& app) {
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
  v->app_ = &app;
  uint8_t random[16] = {};
  if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
    engineLog("no random bytes for the notice binding, error " + std::to_string(GetLastError()));
  v->binding_ = noticeBindingName(random);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(v));
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&View::windowProc));
  RECT rc;
  GetClientRect(hwnd, &rc);
  v->w_ = rc.right > 0 ? rc.right : 1;
  v->h_ = rc.bottom > 0 ? rc.bottom : 1;
  v->dib_.resize(v->w_, v->h_);
  Connection::get().serveViews(kViewCalls);
  v->decoder_ = std::make_unique<Decoder>(hwnd, pictureMessage());
  Connection::get().wantPage(v);
  return v;
}

// Also after the browser was lost: the page comes back with what the view
// had set and the address it showed.
void View::startPage() {
  Session* s = Connection::get().session();
  if (!s) return;
  // Anew in the same browser: the old page goes. In a new browser the old
  // reply numbers belong to other requests, so nothing is forgotten there.
  if (live()) closePage(*s);
  detached_ = false;
  sessionId_.clear();
  aheadId_ = 0;  // asked of the session before
  metricsCheckId_ = 0;
  requests_.clear();  // their ends would come to the old page
  lossless_ = 0;
  deviceScriptId_.clear();
  // Cookies off: a store of the page's own keeps the browser's cookies from
  // its requests, and what it is sent out of the browser's store.
  contextId_.clear();
  Json target = {{"url", "about:blank"}};
  if (!cookies_) {
    contextId_ = stringField(s->call("Target.createBrowserContext", {{"disposeOnDetach", true}}).result,
                             "browserContextId");
    if (!contextId_.empty()) target["browserContextId"] = contextId_;
  }
  Reply t = s->call("Target.createTarget", target);
  targetId_ = stringField(t.result, "targetId");
  if (!t.ok || targetId_.empty()) { engineLog("createTarget failed: " + t.error); detached_ = true; return; }
  Reply a = s->call("Target.attachToTarget", {{"targetId", targetId_}, {"flatten", true}});
  sessionId_ = stringField(a.result, "sessionId");
  if (!a.ok || sessionId_.empty()) { engineLog("attachToTarget failed: " + a.error); detached_ = true; return; }
  Connection::get().attach(sessionId_, this);
  setOffline(false);
  call("Page.enable");
  call("Runtime.enable");
  call("Network.enable");  // when requests end
  call("Page.setInterceptFileChooserDialog", {{"enabled", true}});
  // Title changes after load and the link under the mouse come from the page.
  call("Runtime.addBinding", {{"name", binding_}});
  call("Page.addScriptToEvaluateOnNewDocument", {{"source", pageWatchScript(binding_)}});
  storageWatched_ = false;
  restoreFor_.clear();
  restoreScriptId_.clear();
  restoreAsked_ = 0;  // asked of the session before
  restoresToDrop_.clear();
  contexts_.clear();
  pageOrigin_.clear();
  changedStorage_.clear();
  storageDue_ = 0;
  syncStorage();
  // Every request pauses here: the application may refuse a main-frame
  // navigation, or take any request for itself.
  call("Fetch.enable", {{"patterns", Json::array({{{"urlPattern", "*"}}})}});
  if (!userAgent_.empty()) applyUserAgent();
  if (!cookies_) call("Emulation.setDocumentCookieDisabled", {{"disabled", true}});
  if (deviceSet_) applyDevice();
  applyMetrics();
  // Frames come on damage only; the capture in viewDC covers the rest.
  call("Page.startScreencast", {{"format", "jpeg"}, {"quality", 85}, {"everyNthFrame", 1}});
  std::string html = std::move(pendingHtml_), url = pendingUrl_.empty() ? url_ : std::move(pendingUrl_);
  pendingHtml_.clear();
  pendingUrl_.clear();
  if (!html.empty()) loadHtml(html);
  else if (!url.empty() && url != "about:blank") loadUrl(url);
}

Session* View::pageSession() const {
  return detached_ || sessionId_.empty() ? nullptr : Connection::get().session();
}

bool View::live() const { return pageSession() != nullptr; }

Reply View::call(const std::string& method, const Json& params, int timeoutMs) {
  Session* s = pageSession();
  if (!s) return Reply{false, {}, "no page"};
  return s->call(method, params, sessionId_, timeoutMs);
}

void View::post(const std::string& method, const Json& params) {
  if (Session* s = pageSession()) s->post(method, params, sessionId_);
}

// The browser at times lays a page out again at the size or zoom it had
// before, up to a few hundred ms after taking the new one: after a change
// the page is asked a few times which it took, without waiting for the
// answer, and told again when it went back.
constexpr uint64_t kMetricsCheckMs = 350;
constexpr int kMetricsChecks = 3;

void View::applyMetrics() {
  sendMetrics();
  // A look asked before would tell of the metrics before.
  if (Session* s = Connection::get().session(); s && metricsCheckId_) s->forget(metricsCheckId_);
  metricsCheckId_ = 0;
  metricsChecks_ = kMetricsChecks;
  metricsCheckDue_ = GetTickCount64() + kMetricsCheckMs;
}

long View::cssPixels(int px) const { return std::lround(px / zoom_); }

void View::sendMetrics() {
  Json m = {{"width", cssPixels(w_)}, {"height", cssPixels(h_)}, {"deviceScaleFactor", zoom_},
            {"mobile", false}};
  if (device_.screenWidth) m["screenWidth"] = *device_.screenWidth;
  if (device_.screenHeight) m["screenHeight"] = *device_.screenHeight;
  call("Emulation.setDeviceMetricsOverride", m);
}

void View::checkMetrics() {
  Session* s = Connection::get().session();
  if (!s || !live()) return;
  if (!metricsCheckId_) {
    if (!metricsCheckDue_ || GetTickCount64() < metricsCheckDue_) return;
    metricsCheckId_ = s->request("Runtime.evaluate",
                                 functionBodyParams("return devicePixelRatio + ' ' + innerWidth", false), sessionId_);
    if (!metricsCheckId_) metricsCheckDue_ = 0;
    return;
  }
  Reply r;
  if (!s->take(metricsCheckId_, r)) return;
  metricsCheckId_ = 0;
  metricsCheckDue_ = --metricsChecks_ > 0 ? GetTickCount64() + kMetricsCheckMs : 0;
  ScriptResult seen = r.ok ? readScriptResult(r.result) : ScriptResult{};
  float ratio = 0;
  long width = 0;
  if (!seen.ok || std::sscanf(seen.text.c_str(), "%f %ld", &ratio, &width) != 2) return;
  if (std::fabs(ratio - zoom_) < 0.005f && width == cssPixels(w_)) return;
  engineLog("the page went back to an earlier size or zoom: set again");
  sendMetrics();
}

size_t View::count() { return views().size(); }

View* View::find(const void* handle) {
  return handle && views().count(handle) ? static_cast<View*>(const_cast<void*>(handle)) : nullptr;
}

void View::destroy() {
  views().erase(this);
  app_->forget(*this);
  if (live() && Connection::get().keeper().active()) {
    saveStorage();
    Connection::get().keeper().saveCookies();
  }
  if (Session* s = Connection::get().session()) closePage(*s);
  Connection::get().retire(this);
}

void View::closePage(Session& s) {
  for (int64_t id : restoresToDrop_) s.forget(id);
  s.forget(restoreAsked_);
  if (!targetId_.empty()) s.post("Target.closeTarget", {{"targetId", targetId_}});
  if (!contextId_.empty()) s.post("Target.disposeBrowserContext", {{"browserContextId", contextId_}});
}

// Before the page exists the last load waits for it.
void View::loadUrl(const std::string& url) {
  changed();
  load_.started();
  if (!live()) {
    pendingUrl_ = url;
    pendingHtml_.clear();
    Connection::get().start();
    return;
  }
  expectPicture();
  post("Page.navigate", {{"url", url}});
}

void View::loadHtml(const std::string& html) {
  load_.started();
  if (!live()) {
    pendingHtml_ = html.empty() ? " " : html;
    pendingUrl_.clear();
    Connection::get().start();
    return;
  }
  Reply tree = call("Page.getFrameTree");
  std::string frameId;
  if (tree.ok) frameId = stringField(member(member(tree.result, "frameTree"), "frame"), "id");
  if (frameId.empty()) return;
  changed();
  expectPicture();
  post("Page.setDocumentContent", {{"frameId", frameId}, {"html", html}});
}

void View::reload() {
  changed();
  expectPicture();
  post("Page.reload", Json::object());
}

NavHistory View::history() {
  Reply r = call("Page.getNavigationHistory");
  return r.ok ? NavHistory::read(r.result) : NavHistory();
}

bool View::goToEntry(int id) {
  if (!id || !live()) return false;
  changed();
  expectPicture();
  post("Page.navigateToHistoryEntry", {{"entryId", id}});
  return true;
}

void View::stopLoading() {
  post("Page.stopLoading", Json::object());
  load_.stopped();
}

void View::setUserAgent(const std::string& ua) {
  userAgent_ = ua;
  if (live()) applyUserAgent();
}

void View::applyUserAgent() {
  Json p = {{"userAgent", userAgent_}};
  if (device_.platform) p["platform"] = *device_.platform;
  call("Emulation.setUserAgentOverride", p);
}

// The page starts anew, in the store that now applies, at its address.
void View::setCookiesEnabled(bool enabled) {
  if (enabled == cookies_) return;
  cookies_ = enabled;
  if (live()) startPage();
}

void View::setDeviceParam(const char* name, const char* text, int number) {
  if (!name || !engine::setDeviceParam(device_, name, text, number)) return;
  deviceSet_ = true;
  if (!live()) return;
  applyDevice();
  if (std::string(name).rfind("screen.", 0) == 0) applyMetrics();
}

void View::applyDevice() {
  std::string script = deviceScript(device_);
  // One start-up script at a time, holding every value set so far.
  if (!deviceScriptId_.empty())
    call("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", deviceScriptId_}});
  Reply r = call("Page.addScriptToEvaluateOnNewDocument", {{"source", script}});
  deviceScriptId_ = stringField(r.result, "identifier");
  call("Runtime.evaluate", {{"expression", script}});
}

bool View::runScript(const std::string& body, std::string& text, int& number) {
  text.clear();
  number = 0;
  // A browser still starting gets a moment, never long enough to freeze the window.
  if (!live()) Connection::get().waitSession(1000);
  if (!live()) return false;
  changed();
  Json params = functionBodyParams(body, true);
  params["timeout"] = 10000;
  Reply r = call("Runtime.evaluate", params, 12000);
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
  if (r.result.contains("result")) title_ = stringField(member(r.result, "result"), "value");
  return title_;
}

}  // namespace engine
