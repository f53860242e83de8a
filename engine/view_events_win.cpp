// What a view's page reports, turned into notices for the application.
#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "engine/connection_win.h"
#include "engine/console.h"
#include "engine/dialog_win.h"
#include "engine/base64.h"
#include "engine/page_events.h"
#include "engine/view_win.h"

namespace engine {

void View::checkTitle() { titleSeen(title()); }

void View::titleSeen(const std::string& t) {
  if (t == noticedTitle_) return;
  noticedTitle_ = t;
  NoticeArgs a;
  a.text = t;
  notifyApp(Notice::TitleChanged, a);
}

void View::openWindow(const PageEvent& ev) {
  NoticeArgs a;
  a.text = ev.url;
  a.number = ev.userGesture ? 0 : 5;  // opened by the user, or by a script
  a.window = readWindowFeatures(ev.features);
  if (!a.window.width) a.window.width = w_;
  if (!a.window.height) a.window.height = h_;
  notifyApp(Notice::CreateView, a);
  // The browser's own window for it is closed (see Connection); the
  // application's view loads the address instead.
  View* target = find(a.created);
  if (target && !a.text.empty()) target->loadUrl(a.text);
}

bool View::onDownload(const Json& p) {
  NoticeArgs a;
  a.text = stringField(p, "url");
  a.answer = false;
  notifyApp(Notice::Download, a);
  return a.answer;
}

void View::onEvent(const Event& e) {
  PageEvent ev = readPageEvent(e);
  switch (ev.kind) {
    case PageEvent::Frame:
      post("Page.screencastFrameAck", {{"sessionId", ev.frameAck}});
      onFrame(std::move(ev.frameData));
      break;
    case PageEvent::Navigated:
    case PageEvent::WithinDocument: {
      url_ = ev.url;
      if (ev.kind == PageEvent::Navigated) {
        errorPage_ = ev.errorPage;
        // The browser does not always tell the end of the old document's
        // requests; they are gone with it.
        std::erase_if(requests_, [&](const auto& r) { return r.first != pageRequest_; });
      }
      NoticeArgs a;
      a.text = url_;
      a.number = 1;
      notifyApp(Notice::UrlChanged, a);
      break;
    }
    case PageEvent::Loading:
      if (ev.frameId != targetId_) break;
      if (ev.started) load_.started();
      else load_.stopped();
      break;
    case PageEvent::DomReady: {
      load_.documentReady();
      changed();
      expectPicture();
      NoticeArgs a;
      a.number = 1;
      notifyApp(Notice::DocumentReady, a);
      checkTitle();
      break;
    }
    case PageEvent::Loaded: {
      changed();
      expectPicture();
      checkTitle();
      Connection::get().keeper().saveCookies();
      load_.finished(errorPage_);
      if (errorPage_) break;  // the failure was told when the load failed
      NoticeArgs a;
      a.text = url_;
      notifyApp(Notice::LoadingFinished, a);
      break;
    }
    case PageEvent::Console: {
      NoticeArgs a;
      a.number = ev.console.level;
      a.text = std::move(ev.console.message);
      a.text2 = std::move(ev.console.source);
      a.line = ev.console.line;
      a.text3 = std::move(ev.console.stack);
      notifyApp(Notice::Console, a);
      break;
    }
    case PageEvent::RequestEnded:
      requestEnded(ev.request);
      break;
    case PageEvent::Dialog:
      answerDialog(ev);
      break;
    case PageEvent::Paused:
      requestPaused(ev);
      break;
    case PageEvent::Binding:
      pageNotice(ev);
      break;
    case PageEvent::Storage:
      storageChanged(ev.storageOrigin, ev.storageId);
      break;
    case PageEvent::FileChooser:
      chooseFiles(ev);
      break;
    case PageEvent::WindowOpen:
      openWindow(ev);
      break;
    case PageEvent::Detached:
      onDetached();
      break;
    case PageEvent::ContextCreated:
    case PageEvent::ContextDestroyed:
    case PageEvent::ContextsCleared:
      contextEvent(ev);
      break;
    case PageEvent::Other:
      break;
  }
}

// Every pause must be answered or the load hangs.
void View::requestPaused(const PageEvent& ev) {
  const PageEvent::Request& q = ev.request;
  bool allow = true;
  bool page = q.document && q.frameId == targetId_;
  if (q.requestStage) Connection::get().keeper().noteRequest(ev.url);
  // Cookies off: what an earlier answer set is not sent.
  Session* s = Connection::get().session();
  if (q.requestStage && !contextId_.empty() && s) s->call("Storage.clearCookies", {{"browserContextId", contextId_}});
  if (q.requestStage && page) {
    // The document that changed its storage may be about to go.
    if (!changedStorage_.empty()) saveStorage();
    NoticeArgs a;
    a.text = ev.url;
    notifyApp(Notice::Navigation, a);
    allow = a.answer;
  }
  if (allow && q.requestStage) {
    NoticeArgs a;
    a.text = ev.url;
    a.number = ++jobs_;
    a.answer = false;
    notifyApp(Notice::UrlBegin, a);
    allow = !a.answer;  // taken by the application: the page does not get it
  }
  if (allow && q.requestStage && page) prepareRestore(urlOrigin(ev.url));
  if (allow && q.requestStage && !q.networkId.empty()) {
    if (requests_.size() >= 4096) requests_.clear();  // ones that never end do not pile up
    requests_[q.networkId] = {ev.url, jobs_, page, q.lasting};
    if (page) pageRequest_ = q.networkId;
  }
  if (allow) post("Fetch.continueRequest", {{"requestId", q.id}});
  else post("Fetch.failRequest", {{"requestId", q.id}, {"errorReason", "Aborted"}});
}

void View::contextEvent(const PageEvent& ev) {
  if (ev.kind == PageEvent::ContextsCleared) {
    contexts_.clear();
  } else if (ev.kind == PageEvent::ContextDestroyed) {
    contexts_.erase(ev.context.id);
  } else {
    // Frames that come and go leave no trace; the oldest go first.
    if (contexts_.size() >= 1024) contexts_.erase(contexts_.begin());
    bool main = ev.context.frameId == targetId_;
    contexts_[ev.context.id] = {ev.context.origin, main};
    if (main && ev.context.isDefault) pageOrigin_ = ev.context.origin;
  }
}

// Only scripts of the page's own origin may report; frames of another
// origin, and every page with another view's binding, are not heard.
void View::pageNotice(const PageEvent& ev) {
  if (ev.binding.name != binding_) return;
  auto from = contexts_.find(ev.binding.context);
  if (from == contexts_.end() || from->second.origin != pageOrigin_) return;
  bool main = from->second.mainFrame;
  PageNotice n = readPageNotice(ev.binding.payload);
  if (n.kind == PageNotice::Title) {
    if (main) titleSeen(n.text);
  } else if (n.kind == PageNotice::Cursor) {
    setCursor(cursorId(n.text));
  } else if (n.kind == PageNotice::Stored) {
    if (main && n.text == from->second.origin) Connection::get().keeper().restored(n.text);
  } else if (n.kind == PageNotice::Hover && n.text != hover_) {
    hover_ = n.text;
    NoticeArgs a;
    a.text = hover_;
    notifyApp(Notice::HoverUrl, a);
  }
}

// The page stalls until its dialog is answered: by the application, or
// by the person when the application leaves it. Leaving the page is the
// person's own question; no application event stands for it.
void View::answerDialog(const PageEvent& ev) {
  DialogKind kind = dialogKind(ev.dialog.type);
  NoticeArgs a;
  a.text = ev.dialog.message;
  a.text2 = ev.dialog.defaultPrompt;
  a.toPerson = true;
  if (kind == DialogKind::Alert) notifyApp(Notice::Alert, a);
  else if (kind == DialogKind::Confirm) notifyApp(Notice::Confirm, a);
  else if (kind == DialogKind::Prompt) notifyApp(Notice::Prompt, a);
  if (kind == DialogKind::BeforeUnload) a.text = kLeavePageText;
  if (a.toPerson) a.answer = askPerson(hwnd_, kind, dialogTitle(ev.url), a.text, a.text2);
  Json answer = {{"accept", kind == DialogKind::Alert || a.answer}};
  if (kind == DialogKind::Prompt) answer["promptText"] = a.text2;
  post("Page.handleJavaScriptDialog", answer);
}

// A page's file input opens the system's open-file dialog; the files chosen
// go to the input under the names the browser knows them by.
void View::chooseFiles(const PageEvent& ev) {
  std::vector<wchar_t> buf(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size());
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
              (ev.chooseMany ? OFN_ALLOWMULTISELECT : 0);
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
  if (ev.backendNodeId) args["backendNodeId"] = ev.backendNodeId;
  changed();
  expectPicture();
  Reply r = call("DOM.setFileInputFiles", args);
  if (!r.ok) engineLog("choosing files failed: " + r.error);
}

// The end of a request the application was asked about; a failed page
// load ends the load with its reason.
void View::requestEnded(const PageEvent::Request& q) {
  auto it = requests_.find(q.id);
  if (it == requests_.end()) return;
  Request r = std::move(it->second);
  requests_.erase(it);
  NoticeArgs a;
  a.text = r.url;
  a.number = r.job;
  if (!q.failed) {
    notifyApp(Notice::UrlEnd, a);
  } else if (r.page) {
    a.number = q.canceled ? 2 : 1;
    load_.finished(true);
    a.text2 = q.errorText;
    notifyApp(Notice::LoadingFinished, a);
  }
}

bool View::loading() const {
  if (load_.loading()) return true;
  for (const auto& [id, r] : requests_)
    if (!r.lasting) return true;
  return false;
}

void View::afterEvents() {
  syncStorage();
  collectRestores();
  if (storageDue_ && GetTickCount64() >= storageDue_) saveStorage();
  checkMetrics();
  if (!pendingFrame_.empty()) {
    decoder_->submit(std::move(pendingFrame_), ++pictures_);
    pendingFrame_.clear();
  } else if (!aheadArrived() && !aheadId_ && pictureDue_ && GetTickCount64() >= pictureDue_) {
    pictureDue_ = 0;  // one try; the next input asks again
    askAhead();
  }
  if (!picture_.stillCurrent()) forgetAhead();
  // Once the page has settled, its picture is taken while the application
  // waits, not when it asks for the view's surface.
  if (!aheadId_ && live() && picture_.aheadDue(GetTickCount64())) askAhead();
}

void View::onDetached() {
  if (detached_) return;
  detached_ = true;
  engineLog("page of a web view is gone");
}

}  // namespace engine
