#include "engine/connection_win.h"

#include <cstdio>
#include <cstdlib>

#include "engine/view_win.h"

namespace engine {
namespace {

const UINT kSocketMessage = WM_APP + 1;
const UINT_PTR kTimer = 1;

LRESULT CALLBACK connectionProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == kSocketMessage || (msg == WM_TIMER && w == kTimer)) {
    Connection::get().service();
    return 0;
  }
  return DefWindowProcW(h, msg, w, l);
}

}  // namespace

void engineLog(const std::string& line) {
  std::string s = "[node] " + line + "\n";
  fputs(s.c_str(), stderr);
  fflush(stderr);
  OutputDebugStringA(s.c_str());
}

Connection& Connection::get() {
  static Connection c;
  return c;
}

Session* Connection::session() {
  if (!tried_) {
    tried_ = true;
    if (!connect()) session_.reset();
  }
  if (!session_ || session_->lost()) return nullptr;
  return session_.get();
}

bool Connection::findEndpoint(std::string& host, int& port) {
  const char* env = std::getenv("PAGINET_ENGINE_DEVTOOLS");
  if (!env || !*env) return launched_ = launchBrowser(host, port);
  std::string e = env;
  size_t colon = e.rfind(':');
  if (colon == std::string::npos) { engineLog("PAGINET_ENGINE_DEVTOOLS needs host:port"); return false; }
  host = e.substr(0, colon);
  port = std::atoi(e.c_str() + colon + 1);
  return port > 0 && port < 65536;
}

bool Connection::connect() {
  std::string host;
  int port = 0;
  if (!findEndpoint(host, port)) {
    engineLog("no DevTools endpoint; web views stay blank");
    return false;
  }
  std::string body, reason;
  Json version;
  // The browser may still be starting: retry the version query a few times.
  bool got = false;
  for (int i = 0; i < 20 && !got; ++i) {
    got = httpGet(host, port, "/json/version", 3000, body);
    if (!got) Sleep(250);
  }
  try {
    if (got) version = Json::parse(body);
  } catch (const std::exception&) {
    got = false;
  }
  if (!got || !version.contains("webSocketDebuggerUrl") || !version["webSocketDebuggerUrl"].is_string()) {
    engineLog("no DevTools answer at " + host + ":" + std::to_string(port));
    return false;
  }
  std::string url = version["webSocketDebuggerUrl"].get<std::string>();
  size_t slash = url.find('/', url.find("//") + 2);
  if (slash == std::string::npos || !ws_.open(host, port, url.substr(slash), 5000, reason)) {
    engineLog("DevTools WebSocket failed: " + reason);
    return false;
  }
  hwnd_ = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = connectionProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PaginetEngineConnection";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
  }();
  Link link;
  link.send = [this](const std::string& t) { return ws_.sendText(t); };
  link.pump = [this](int ms) { return ws_.pump(ms); };
  link.nowMs = [] { return static_cast<uint64_t>(GetTickCount64()); };
  link.log = engineLog;
  // A page stalls on a paused navigation or an open dialog: the reply to a
  // script that navigates or calls alert() comes only once it is answered.
  link.urgent = [](const Event& e) {
    return e.method == "Fetch.requestPaused" || e.method == "Page.javascriptDialogOpening";
  };
  link.deliver = [this](const Event& e) { deliverNow(e); };
  session_ = std::make_unique<Session>(std::move(link));
  ws_.onMessage = [this](const std::string& m) { session_->receive(m); };
  if (hwnd_) {
    WSAAsyncSelect(ws_.socket(), hwnd_, kSocketMessage, FD_READ | FD_CLOSE);
    SetTimer(hwnd_, kTimer, 15, nullptr);
  }
  // Pop-ups the pages open show up as targets; downloads as browser events.
  session_->call("Target.setDiscoverTargets", {{"discover", true}});
  wchar_t tmp[MAX_PATH];
  std::wstring dir = GetTempPathW(MAX_PATH, tmp) ? std::wstring(tmp) + L"paginet-downloads" : L"";
  if (!dir.empty()) CreateDirectoryW(dir.c_str(), nullptr);
  Json behaviour = {{"behavior", "allowAndName"}, {"eventsEnabled", true}, {"downloadPath", hostPath(dir)}};
  if (dir.empty()) behaviour = {{"behavior", "default"}, {"eventsEnabled", true}};
  session_->call("Browser.setDownloadBehavior", behaviour);
  return true;
}

void Connection::shutdown() {
  if (launched_ && session_ && !session_->lost()) session_->post("Browser.close");
}

View* Connection::viewOfTarget(const std::string& targetId) const {
  for (const auto& [id, view] : views_)
    if (!targetId.empty() && view->targetId() == targetId) return view;
  return nullptr;
}

void Connection::onBrowserEvent(const Event& e) {
  if (!e.params.is_object()) return;
  const Json& p = e.params;
  if (e.method == "Target.detachedFromTarget") {
    auto v = views_.find(stringField(p, "sessionId"));
    if (v != views_.end()) v->second->onDetached();
  } else if (e.method == "Target.targetCreated" && p.contains("targetInfo") && p["targetInfo"].is_object()) {
    // A page's window.open makes the browser open a window of its own; the
    // opener's view has asked the application instead, so that one goes.
    const Json& info = p["targetInfo"];
    std::string id = stringField(info, "targetId");
    if (stringField(info, "type") == "page" && viewOfTarget(stringField(info, "openerId")) && !viewOfTarget(id))
      session_->post("Target.closeTarget", {{"targetId", id}});
  } else if (e.method == "Browser.downloadWillBegin") {
    if (View* v = viewOfTarget(stringField(p, "frameId"))) v->onDownload(p);
  }
}

void Connection::service() {
  if (!session_ || session_->lost()) return;
  if (!ws_.pump(0)) session_->lose("connection closed by the browser");
  if (delivering_) return;
  delivering_ = true;
  Event e;
  while (session_ && session_->nextEvent(e)) {
    auto it = views_.find(e.sessionId);
    if (it != views_.end()) it->second->onEvent(e);
    else if (e.sessionId.empty()) onBrowserEvent(e);
  }
  // Callbacks may destroy views: walk a copy and re-check each one.
  std::map<std::string, View*> now = views_;
  for (auto& [id, view] : now) {
    auto it = views_.find(id);
    if (it == views_.end() || it->second != view) continue;
    if (session_->lost()) view->onDetached();
    else view->afterEvents();
  }
  delivering_ = false;
  for (View* v : retired_) delete v;
  retired_.clear();
}

void Connection::deliverNow(const Event& e) {
  auto it = views_.find(e.sessionId);
  if (it == views_.end()) return;
  // A view the handler destroys must outlive the call it is inside.
  bool was = delivering_;
  delivering_ = true;
  it->second->onEvent(e);
  delivering_ = was;
}

void Connection::retire(View* v) {
  for (auto it = views_.begin(); it != views_.end();) {
    if (it->second == v) it = views_.erase(it);
    else ++it;
  }
  if (delivering_) retired_.push_back(v);
  else delete v;
}

}  // namespace engine
