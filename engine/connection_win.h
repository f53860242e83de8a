// The process-wide DevTools connection, driven on the UI thread: a
// message-only window gets socket notifications and a timer, and delivers
// queued events to the views outside of any synchronous wait.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/downloads.h"
#include "engine/host_win.h"
#include "engine/kept_storage_win.h"
#include "engine/launch_win.h"
#include "engine/parsed_inbox.h"
#include "engine/screencast_inbox.h"
#include "engine/session.h"
#include "engine/websocket_win.h"

namespace engine {

class View;  // reached only through ViewCalls

// What the connection asks of the views it serves, set by their side before
// the first view is handed over; the connection never sees a view's insides.
struct ViewCalls {
  void (*startPage)(View*);  // opens the page in the current session
  void (*onEvent)(View*, const Event&);
  void (*onFrame)(View*, std::string data);  // a screencast frame's picture, acknowledged already
  void (*afterEvents)(View*);  // once the events that arrived are delivered
  void (*onDetached)(View*);
  void (*setOffline)(View*, bool offline);
  bool (*onDownload)(View*, const Json& params);  // true when it takes the download
  const std::string& (*targetId)(const View*);
  void (*free)(View*);  // deletes the view
  size_t (*count)();    // views that exist
};

class Connection {
 public:
  static Connection& get();
  // The live session, or nullptr while the browser is starting or gone.
  Session* session();
  // Without a session and none under way: a start (or, after a loss, a
  // restart) begins on the next turn of the message loop. From then on a
  // browser lost or out of reach is started or reached again on its own,
  // every two seconds, for as long as a view is left.
  void start();
  // As session(), but starts at once and serves the start for up to ms.
  Session* waitSession(int ms);
  // How views are reached; set before the first wantPage.
  void serveViews(const ViewCalls& calls) { calls_ = &calls; }
  // The view's startPage runs once a session is up (at once when it is);
  // the first load or script asks for the start.
  void wantPage(View* view);
  // Maps the page's session to the view, which has no other page left.
  void attach(const std::string& sessionId, View* view);
  // A folder the application names for cookies or for local storage. A
  // browser this engine starts keeps its profile in it (from its next
  // start); for a given endpoint the keeper stores there.
  void nameStorage(const std::wstring& dir, bool cookies);
  Keeper& keeper() { return keeper_; }
  // Forgets the view and deletes it, later when events are being delivered.
  // With the last view gone a browser this engine started is closed.
  void retire(View* view);
  // Reads what arrived and delivers events; re-entered calls only read.
  void service(bool start = false);
  // Hands the screencast frames that have come to their views.
  void tellFrames();

 private:
  enum class State { Idle, Starting, Ready };
  Connection();
  bool ensureWindow();  // the message-only window for sockets and the timer
  void begin();      // finds the endpoint, or starts a browser
  void advance();    // a started browser's port, then the connection
  bool connect(const std::string& host, int port);
  void ready();        // a new session is up
  void startPages();   // of the views waiting for a session
  // The session may be replaced only with nothing of it on the stack: no
  // wait for a reply, no event being handled.
  bool replaceable() const;
  // The pages went with the browser: their views wait for the next one.
  void park();
  // The waiting views say the browser is out of reach.
  void offline();
  // Asks a browser this engine started to close, and waits for it a moment.
  void closeBrowser();
  void deliverNow(const Event& e);  // an urgent event, during a wait
  void onBrowserEvent(const Event& e);
  View* viewOfTarget(const std::string& targetId) const;
  std::wstring staging() const;  // where the browser writes downloads
  void clearStaleDownloads();
  // Moves a taken, completed download into the downloads folder; deletes
  // any other that finished.
  void onDownloadProgress(const std::string& guid, const std::string& state);
  void wake();  // service() on the next turn of the message loop
  WebSocketClient ws_;
  ScreencastInbox screencast_;
  ParsedInbox parsed_;
  std::unique_ptr<Session> session_;
  const ViewCalls* calls_ = nullptr;
  std::map<std::string, View*> views_;
  std::vector<View*> waiting_;  // views whose page starts with the next session
  std::vector<View*> retired_;
  HWND hwnd_ = nullptr;
  State state_ = State::Idle;
  bool startPosted_ = false;
  bool wanted_ = false;         // a view asked for a browser; cleared with the last view
  uint64_t retryAt_ = 0;        // no new start before this tick
  uint64_t giveUpAt_ = 0;       // a starting browser that gave no port by then failed
  std::wstring storage_, portFile_;
  std::wstring profileBase_, profile_;  // the profile wanted, and the one claimed for it
  HANDLE profileLock_ = nullptr;        // keeps other copies of the program off profile_
  BrowserHold hold_;  // of the browser we started last
  Keeper keeper_;
  DownloadLedger ledger_;
  std::wstring downloads_;  // the downloads folder; "" when there is no temporary folder
  bool delivering_ = false;
  bool launched_ = false;  // the browser is ours to end
};

}  // namespace engine
