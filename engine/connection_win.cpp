#include "engine/connection_win.h"

#include <algorithm>
#include <cstdlib>

#include "engine/wide_win.h"

namespace engine {
namespace {

const UINT_PTR kTimer = 1;

// Registered, not WM_APP numbers: the program's runtime sends its own
// private messages to every window a message comes to, ours included.
UINT socketMessage() {
  static const UINT m = RegisterWindowMessageW(L"PaginetEngineSocket");
  return m;
}
UINT startMessage() {
  static const UINT m = RegisterWindowMessageW(L"PaginetEngineStart");
  return m;
}

LRESULT CALLBACK connectionProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if ((msg == socketMessage() || msg == startMessage()) && msg != 0) {
    Connection::get().service(msg == startMessage());
    return 0;
  }
  if (msg == WM_TIMER && w == kTimer) {
    Connection::get().service();
    return 0;
  }
  return DefWindowProcW(h, msg, w, l);
}

// Runs what acts on one event. This is the edge to the window procedure
// that serves the socket: whatever the browser sent, nothing throws past it.
template <typename Fn>
void guarded(const std::string& what, Fn fn) {
  try {
    fn();
  } catch (const std::exception& x) {
    engineLog("not handled (" + what + "): " + x.what());
  }
}

}  // namespace

// The socket is read on a thread of its own; what it reads waits for
// this thread, woken by a message.
Connection::Connection()
    : screencast_([this](const std::string& t) { return ws_.sendText(t); }, [this] { wake(); }),
      parsed_(engineLog),
      keeper_({[this] { return session(); }}) {
  ws_.onMessage = [this](const std::string&) { session_->receiveParsed(parsed_.next()); };
  ws_.onArrival = [this](std::string& m) {
    if (screencast_.arrive(m)) return true;
    parsed_.arrive(m);
    return false;
  };
  ws_.onWaiting = [this] { wake(); };
  ws_.onLog = engineLog;
}

void Connection::wake() {
  if (hwnd_) PostMessageW(hwnd_, socketMessage(), 0, 0);
}

Connection& Connection::get() {
  static Connection c;
  return c;
}

Session* Connection::session() {
  if (state_ == State::Ready && session_ && !session_->lost()) return session_.get();
  if (state_ == State::Ready) state_ = State::Idle;  // lost: a new start on demand
  return nullptr;
}

// Not at once: the calls that set a view up (its storage folder among them)
// come first, in the same turn of the message loop.
void Connection::start() {
  wanted_ = true;
  if (!session() && state_ == State::Idle && !startPosted_ && ensureWindow())
    startPosted_ = PostMessageW(hwnd_, startMessage(), 0, 0) != 0;
}

bool Connection::ensureWindow() {
  if (hwnd_) return true;
  WNDCLASSW wc{};
  wc.lpfnWndProc = connectionProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PaginetEngineConnection";
  RegisterClassW(&wc);
  hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!hwnd_) engineLog("CreateWindowExW failed, error " + std::to_string(GetLastError()));
  else SetTimer(hwnd_, kTimer, 15, nullptr);
  return hwnd_ != nullptr;
}

Session* Connection::waitSession(int ms) {
  uint64_t end = GetTickCount64() + static_cast<uint64_t>(ms);
  wanted_ = true;
  if (!session() && state_ == State::Idle) begin();
  while (state_ == State::Starting && GetTickCount64() < end) {
    Sleep(50);
    advance();
  }
  return session();
}

void Connection::wantPage(View* view) {
  waiting_.push_back(view);
  if (session()) startPages();
}

void Connection::attach(const std::string& sessionId, View* view) {
  for (auto it = views_.begin(); it != views_.end();) {
    if (it->second == view) it = views_.erase(it);
    else ++it;
  }
  views_[sessionId] = view;
}

bool Connection::replaceable() const { return !delivering_ && !(session_ && session_->waiting()); }

void Connection::park() {
  for (auto& [id, view] : views_) {
    calls_->onDetached(view);
    waiting_.push_back(view);
  }
  views_.clear();
  offline();
}

void Connection::offline() {
  for (View* v : waiting_) calls_->setOffline(v, true);
}

void Connection::closeBrowser() {
  if (!launched_ || !session()) return;
  // Closed, not ended by its job: the browser writes its profile out first.
  session_->call("Browser.close", Json::object(), "", 2000);
  if (!session_->drain(3000)) engineLog("the browser did not close in time");
}

void Connection::nameStorage(const std::wstring& dir, bool cookies) {
  if (cookies) keeper_.nameCookies(dir);
  else keeper_.nameLocalStorage(dir);
  if (dir.empty() || dir == storage_) return;
  storage_ = dir;
  if (launched_ && state_ != State::Idle) engineLog("storage folder named after the browser started; used from its next start");
}

// Runs on the UI thread, never waiting long: a browser we start reports its
// port through the timer, and a given endpoint answers on the loopback.
void Connection::begin() {
  startPosted_ = false;
  if (state_ != State::Idle || GetTickCount64() < retryAt_ || !replaceable()) return;
  retryAt_ = GetTickCount64() + 2000;  // a failing browser is not restarted in a loop
  wanted_ = true;
  if (!ensureWindow()) return;
  const char* env = std::getenv("PAGINET_ENGINE_DEVTOOLS");
  if (env && *env) {
    std::string e = env;
    size_t colon = e.rfind(':');
    int port = colon == std::string::npos ? 0 : std::atoi(e.c_str() + colon + 1);
    if (port <= 0 || port >= 65536) { engineLog("PAGINET_ENGINE_DEVTOOLS needs host:port"); return; }
    if (connect(e.substr(0, colon), port)) ready();
    else offline();
    return;
  }
  std::wstring base = profileFolder(storage_);
  if (base != profileBase_ || !profileLock_) {
    if (profileLock_) CloseHandle(profileLock_);
    profileLock_ = claimProfile(base, profile_);
    profileBase_ = base;
  }
  hold_.release();  // a browser of ours that is still there, but lost to us, ends first
  if (!profileLock_ || !launchBrowser(profile_, portFile_, hold_)) {
    engineLog("no browser started; web views stay blank");
    offline();
    return;
  }
  launched_ = true;
  state_ = State::Starting;
  giveUpAt_ = GetTickCount64() + 30000;
}

void Connection::advance() {
  if (state_ != State::Starting) return;
  int port = readActivePort(portFile_);
  if (!port) {
    if (GetTickCount64() < giveUpAt_) return;
    engineLog("the browser gave no DevTools port");
    state_ = State::Idle;
    offline();
    return;
  }
  if (!replaceable()) return;  // taken up on a later turn, outside any wait
  state_ = State::Idle;
  if (connect("127.0.0.1", port)) ready();
  else offline();
}

// A new browser session: what is kept goes into it once, before its first
// page, not again with each later view.
void Connection::ready() {
  state_ = State::Ready;
  keeper_.connected(!launched_);
  if (!wanted_) {  // the last view went while the browser started
    closeBrowser();
    return;
  }
  startPages();
}

void Connection::startPages() {
  std::vector<View*> now;
  now.swap(waiting_);
  for (View* v : now) calls_->startPage(v);
}

bool Connection::connect(const std::string& host, int port) {
  if (!replaceable()) return false;
  std::string body, reason;
  Json version;
  bool got = httpGet(host, port, "/json/version", 1000, body);
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
  ws_.close();  // its reader ends: nothing it parsed is taken for the new connection's
  parsed_.clear();
  if (slash == std::string::npos || !ws_.open(host, port, url.substr(slash), 1000, reason)) {
    engineLog("DevTools WebSocket failed: " + reason);
    return false;
  }
  if (session_) park();  // pages of the old session wait for the new one
  Link link;
  link.send = [this](const std::string& t) { return ws_.sendText(t); };
  link.pump = [this](int ms) { return ws_.pump(ms); };
  link.nowMs = [] { return static_cast<uint64_t>(GetTickCount64()); };
  link.log = engineLog;
  // A page stalls on a paused navigation or an open dialog: the reply to a
  // script that navigates or calls alert() comes only once it is answered.
  // Screencast frames are acknowledged at once: with two unacknowledged the
  // browser skips frames, and a skipped one is a change the view never hears of.
  link.urgent = [](const Event& e) {
    return e.method == "Fetch.requestPaused" || e.method == "Page.javascriptDialogOpening" ||
           e.method == "Page.screencastFrame";
  };
  link.deliver = [this](const Event& e) { deliverNow(e); };
  session_ = std::make_unique<Session>(std::move(link));
  // Pop-ups the pages open show up as targets; downloads as browser events.
  session_->call("Target.setDiscoverTargets", {{"discover", true}});
  // Downloads are written to a staging folder inside the downloads folder
  // (same volume, so a taken one moves there whole) until the browser says
  // they are complete: a refused one may finish before its cancel arrives.
  wchar_t tmp[MAX_PATH];
  downloads_ = GetTempPathW(MAX_PATH, tmp) ? std::wstring(tmp) + L"paginet-downloads" : L"";
  ledger_.clear();
  Json behaviour = {{"behavior", "deny"}, {"eventsEnabled", true}};
  if (!downloads_.empty() && makeFolders(staging())) {
    clearStaleDownloads();
    behaviour = {{"behavior", "allowAndName"}, {"eventsEnabled", true}, {"downloadPath", hostPath(staging())}};
  }
  session_->call("Browser.setDownloadBehavior", behaviour);
  return true;
}

std::wstring Connection::staging() const { return downloads_ + L"\\.pending"; }

// Left by a process that ended mid-download; a file this old is no longer
// being written by anyone.
void Connection::clearStaleDownloads() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  auto ticks = [](const FILETIME& f) { return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
  const uint64_t hour = 3600ull * 10000000ull;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((staging() + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ticks(now) > ticks(fd.ftLastWriteTime) + hour)
      DeleteFileW((staging() + L"\\" + fd.cFileName).c_str());
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

void Connection::onDownloadProgress(const std::string& guid, const std::string& state) {
  DownloadLedger::Step step = ledger_.progress(guid, state);
  if (step == DownloadLedger::Step::Wait) return;
  std::wstring name = toUtf16(guid);
  std::wstring staged = staging() + L"\\" + name;
  if (step == DownloadLedger::Step::Keep) {
    if (!MoveFileExW(staged.c_str(), (downloads_ + L"\\" + name).c_str(), MOVEFILE_REPLACE_EXISTING))
      engineLog("download " + guid + " not moved to the downloads folder, error " + std::to_string(GetLastError()));
    return;
  }
  DeleteFileW(staged.c_str());  // the browser writes even a partial file under the guid
}

View* Connection::viewOfTarget(const std::string& targetId) const {
  for (const auto& [id, view] : views_)
    if (!targetId.empty() && calls_->targetId(view) == targetId) return view;
  return nullptr;
}

void Connection::onBrowserEvent(const Event& e) {
  if (!e.params.is_object()) return;
  const Json& p = e.params;
  if (e.method == "Target.detachedFromTarget") {
    auto v = views_.find(stringField(p, "sessionId"));
    if (v != views_.end()) calls_->onDetached(v->second);
  } else if (e.method == "Target.targetCreated" && p.contains("targetInfo") && p["targetInfo"].is_object()) {
    // A page's window.open makes the browser open a window of its own; the
    // opener's view has asked the application instead, so that one goes.
    const Json& info = p["targetInfo"];
    std::string id = stringField(info, "targetId");
    if (stringField(info, "type") == "page" && viewOfTarget(stringField(info, "openerId")) && !viewOfTarget(id))
      session_->post("Target.closeTarget", {{"targetId", id}});
  } else if (e.method == "Browser.downloadWillBegin") {
    // Unanswered (no view of ours started it) means refused.
    std::string guid = stringField(p, "guid");
    View* v = viewOfTarget(stringField(p, "frameId"));
    bool taken = v && calls_->onDownload(v, p);
    ledger_.decided(guid, taken);
    if (!taken && session()) session_->post("Browser.cancelDownload", {{"guid", guid}});
  } else if (e.method == "Browser.downloadProgress") {
    onDownloadProgress(stringField(p, "guid"), stringField(p, "state"));
  }
}

void Connection::service(bool start) {
  if (start) begin();
  advance();
  // The pages are gone with the browser; they start again with the next.
  if (session_ && session_->lost() && !delivering_ && !views_.empty()) park();
  if (wanted_ && !waiting_.empty() && !session() && state_ == State::Idle) begin();
  if (!session_ || session_->lost()) return;
  if (!ws_.pump(0)) session_->lose("connection closed by the browser");
  if (delivering_) return;
  delivering_ = true;
  tellFrames();
  Event e;
  while (session_ && session_->nextEvent(e)) {
    auto it = views_.find(e.sessionId);
    guarded(e.method, [&] {
      if (it != views_.end()) calls_->onEvent(it->second, e);
      else if (e.sessionId.empty()) onBrowserEvent(e);
    });
  }
  // Callbacks may destroy views: walk a copy and re-check each one.
  std::map<std::string, View*> now = views_;
  for (auto& [id, view] : now) {
    auto it = views_.find(id);
    if (it == views_.end() || it->second != view) continue;
    if (!session_->lost()) guarded("a view's update", [&] { calls_->afterEvents(view); });
  }
  delivering_ = false;
  for (View* v : retired_) calls_->free(v);
  retired_.clear();
}

void Connection::tellFrames() {
  ScreencastFrame f;
  while (screencast_.next(f)) {
    auto it = views_.find(f.sessionId);
    if (it != views_.end()) guarded("a screencast frame", [&] { calls_->onFrame(it->second, std::move(f.data)); });
  }
}

void Connection::deliverNow(const Event& e) {
  auto it = views_.find(e.sessionId);
  if (it == views_.end()) return;
  // A view the handler destroys must outlive the call it is inside.
  bool was = delivering_;
  delivering_ = true;
  guarded(e.method, [&] { calls_->onEvent(it->second, e); });
  delivering_ = was;
}

void Connection::retire(View* v) {
  waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), v), waiting_.end());
  for (auto it = views_.begin(); it != views_.end();) {
    if (it->second == v) it = views_.erase(it);
    else ++it;
  }
  if (delivering_) retired_.push_back(v);
  else calls_->free(v);
  if (calls_->count() == 0) {
    wanted_ = false;
    closeBrowser();
  }
}

}  // namespace engine
