// The process-wide DevTools connection, driven on the UI thread: a
// message-only window gets socket notifications and a timer, and delivers
// queued events to the views outside of any synchronous wait.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/session.h"
#include "engine/websocket_win.h"

namespace engine {

class View;

// Writes one line to stderr and the debugger.
void engineLog(const std::string& line);

class Connection {
 public:
  static Connection& get();
  // The live session, connecting on first use; nullptr when unavailable or lost.
  Session* session();
  void attach(const std::string& sessionId, View* view) { views_[sessionId] = view; }
  // Forgets the view and deletes it, later when events are being delivered.
  void retire(View* view);
  // Reads what arrived and delivers events; re-entered calls only read.
  void service();
  // At process end: asks a browser this engine started to close.
  void shutdown();

 private:
  Connection() = default;
  bool connect();
  bool findEndpoint(std::string& host, int& port);
  void deliverNow(const Event& e);  // an urgent event, during a wait
  void onBrowserEvent(const Event& e);
  View* viewOfTarget(const std::string& targetId) const;
  WebSocketClient ws_;
  std::unique_ptr<Session> session_;
  std::map<std::string, View*> views_;
  std::vector<View*> retired_;
  HWND hwnd_ = nullptr;
  bool tried_ = false;
  bool delivering_ = false;
  bool launched_ = false;  // the browser is ours to end
};

// Starts a Chromium/Edge found on this machine with a DevTools port;
// false when none can be started. Defined in launch_win.cpp.
bool launchBrowser(std::string& host, int& port);

// A path as a browser running on the host system names it: the Unix path
// under Wine, the path itself (UTF-8) on Windows. Defined in launch_win.cpp.
std::string hostPath(const std::wstring& path);

}  // namespace engine
