// What a view's page reports, turned into notices for the application.
#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "engine/connection_win.h"
#include "engine/console.h"
#include "engine/dialog_win.h"
#include "engine/handshake.h"
#include "engine/view_win.h"

namespace engine {

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
  a.text = stringField(p, "url");
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

bool View::onDownload(const Json& p) {
  NoticeArgs a;
  a.text = stringField(p, "url");
  a.answer = false;
  notifyApp(*this, Notice::Download, a);
  return a.answer;
}

void View::onEvent(const Event& e) {
  const Json& p = e.params;
  if (e.method == "Page.screencastFrame") {
    post("Page.screencastFrameAck", {{"sessionId", p.value("sessionId", 0)}});
    // A frame like the last one changes nothing on screen or in the page.
    std::string data = stringField(p, "data");
    if (picture_.frame(data, GetTickCount64())) pendingFrame_ = std::move(data);
  } else if (e.method == "Page.frameNavigated") {
    if (p.contains("frame") && !p["frame"].contains("parentId")) {
      url_ = stringField(p["frame"], "url");
      errorPage_ = p["frame"].contains("unreachableUrl");
      NoticeArgs a;
      a.text = url_;
      a.number = 1;
      notifyApp(*this, Notice::UrlChanged, a);
    }
  } else if (e.method == "Page.navigatedWithinDocument") {
    url_ = stringField(p, "url");
    NoticeArgs a;
    a.text = url_;
    a.number = 1;
    notifyApp(*this, Notice::UrlChanged, a);
  } else if (e.method == "Page.domContentEventFired") {
    changed();
    expectPicture();
    NoticeArgs a;
    a.number = 1;
    notifyApp(*this, Notice::DocumentReady, a);
    checkTitle();
  } else if (e.method == "Page.loadEventFired") {
    changed();
    expectPicture();
    checkTitle();
    Connection::get().keeper().saveCookies();
    if (errorPage_) return;  // the failure was told when the load failed
    NoticeArgs a;
    a.text = url_;
    notifyApp(*this, Notice::LoadingFinished, a);
  } else if (e.method == "Runtime.consoleAPICalled" || e.method == "Runtime.exceptionThrown") {
    ConsoleLine c = e.method == "Runtime.exceptionThrown" ? readException(p) : readConsoleCall(p);
    NoticeArgs a;
    a.number = c.level;
    a.text = std::move(c.message);
    a.text2 = std::move(c.source);
    a.line = c.line;
    a.text3 = std::move(c.stack);
    notifyApp(*this, Notice::Console, a);
  } else if (e.method == "Network.loadingFinished" || e.method == "Network.loadingFailed") {
    requestEnded(e.method == "Network.loadingFailed", p);
  } else if (e.method == "Page.javascriptDialogOpening") {
    answerDialog(p);
  } else if (e.method == "Fetch.requestPaused") {
    // Every pause must be answered or the load hangs.
    std::string id = stringField(p, "requestId");
    std::string url = p.contains("request") ? stringField(p["request"], "url") : std::string();
    bool requestStage = !p.contains("responseStatusCode");  // the only stage asked for
    bool allow = true;
    if (requestStage) Connection::get().keeper().noteRequest(url);
    if (requestStage && stringField(p, "resourceType") == "Document" && stringField(p, "frameId") == targetId_) {
      // The document that changed its storage may be about to go.
      if (!changedStorage_.empty()) saveStorage();
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
    if (allow && requestStage && !stringField(p, "networkId").empty()) {
      bool page = stringField(p, "resourceType") == "Document" && stringField(p, "frameId") == targetId_;
      if (requests_.size() >= 4096) requests_.clear();  // ones that never end do not pile up
      requests_[stringField(p, "networkId")] = {url, jobs_, page};
    }
    if (allow) post("Fetch.continueRequest", {{"requestId", id}});
    else post("Fetch.failRequest", {{"requestId", id}, {"errorReason", "Aborted"}});
  } else if (e.method == "Runtime.bindingCalled") {
    if (stringField(p, "name") != kNoticeBinding) return;
    PageNotice n = readPageNotice(stringField(p, "payload"));
    if (n.kind == PageNotice::Title) {
      titleSeen(n.text);
    } else if (n.kind == PageNotice::Cursor) {
      setCursor(cursorId(n.text));
    } else if (n.kind == PageNotice::Stored) {
      Connection::get().keeper().restored(n.text);
    } else if (n.kind == PageNotice::Hover && n.text != hover_) {
      hover_ = n.text;
      NoticeArgs a;
      a.text = hover_;
      notifyApp(*this, Notice::HoverUrl, a);
    }
  } else if (e.method.rfind("DOMStorage.domStorageItem", 0) == 0) {
    storageChanged(p.value("storageId", Json::object()));
  } else if (e.method == "Page.fileChooserOpened") {
    chooseFiles(p);
  } else if (e.method == "Page.windowOpen") {
    openWindow(p);
  } else if (e.method == "Inspector.targetCrashed" || e.method == "Inspector.detached") {
    onDetached();
  }
}

// The page stalls until its dialog is answered: by the application, or
// by the person when the application leaves it. Leaving the page is the
// person's own question; no application event stands for it.
void View::answerDialog(const Json& p) {
  DialogKind kind = dialogKind(stringField(p, "type"));
  NoticeArgs a;
  a.text = stringField(p, "message");
  a.text2 = stringField(p, "defaultPrompt");
  a.toPerson = true;
  if (kind == DialogKind::Alert) notifyApp(*this, Notice::Alert, a);
  else if (kind == DialogKind::Confirm) notifyApp(*this, Notice::Confirm, a);
  else if (kind == DialogKind::Prompt) notifyApp(*this, Notice::Prompt, a);
  if (kind == DialogKind::BeforeUnload) a.text = kLeavePageText;
  if (a.toPerson) a.answer = askPerson(hwnd_, kind, dialogTitle(stringField(p, "url")), a.text, a.text2);
  Json answer = {{"accept", kind == DialogKind::Alert || a.answer}};
  if (kind == DialogKind::Prompt) answer["promptText"] = a.text2;
  post("Page.handleJavaScriptDialog", answer);
}

// A page's file input opens the system's open-file dialog; the files chosen
// go to the input under the names the browser knows them by.
void View::chooseFiles(const Json& p) {
  bool many = stringField(p, "mode") == "selectMultiple";
  std::vector<wchar_t> buf(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size());
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | (many ? OFN_ALLOWMULTISELECT : 0);
  if (!GetOpenFileNameW(&ofn)) return;
  // One name, or with several a folder and then each name, each ended by a NUL.
  std::vector<std::wstring> parts;
  for (const wchar_t* q = buf.data(); *q; q += wcslen(q) + 1) parts.emplace_back(q);
  Json files = Json::array();
  if (parts.size() == 1) files.push_back(hostPath(parts[0]));
  for (size_t i = 1; i < parts.size(); ++i) {
    std::wstring dir = parts[0];
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    files.push_back(hostPath(dir + parts[i]));
  }
  Json args = {{"files", files}};
  if (p.contains("backendNodeId")) args["backendNodeId"] = p["backendNodeId"];
  changed();
  expectPicture();
  Reply r = call("DOM.setFileInputFiles", args);
  if (!r.ok) engineLog("choosing files failed: " + r.error);
}

// The end of a request the application was asked about; a failed page
// load ends the load with its reason.
void View::requestEnded(bool failed, const Json& p) {
  auto it = requests_.find(stringField(p, "requestId"));
  if (it == requests_.end()) return;
  Request r = std::move(it->second);
  requests_.erase(it);
  NoticeArgs a;
  a.text = r.url;
  a.number = r.job;
  if (!failed) {
    notifyApp(*this, Notice::UrlEnd, a);
  } else if (r.page) {
    bool canceled = p.value("canceled", false) || stringField(p, "errorText") == "net::ERR_ABORTED";
    a.number = canceled ? 2 : 1;
    a.text2 = stringField(p, "errorText");
    notifyApp(*this, Notice::LoadingFinished, a);
  }
}

void View::afterEvents() {
  syncStorage();
  if (storageDue_ && GetTickCount64() >= storageDue_) saveStorage();
  bool shown = false;
  if (!pendingFrame_.empty()) {
    std::string jpeg, reason;
    shown = base64Decode(pendingFrame_, jpeg) && dib_.load(jpeg, reason);
    pendingFrame_.clear();
  } else if (aheadArrived()) {
    shown = true;
  } else if (pictureDue_ && GetTickCount64() >= pictureDue_) {
    pictureDue_ = 0;  // one try; the next input asks again
    shown = captureNow();
  }
  if (!picture_.stillCurrent()) forgetAhead();
  // Once the page has settled, its picture is taken while the application
  // waits, not when it asks for the view's surface.
  if (!aheadId_ && live() && picture_.aheadDue(GetTickCount64())) askAhead();
  if (!shown) return;
  // A frame of the old size does not end the wait after a resize.
  if (dib_.width() == w_ && dib_.height() == h_) pictureDue_ = 0;
  InvalidateRect(hwnd_, nullptr, FALSE);
  NoticeArgs a;
  notifyApp(*this, Notice::PaintUpdated, a);
}

void View::onDetached() {
  if (detached_) return;
  detached_ = true;
  engineLog("page of a web view is gone");
}

}  // namespace engine
