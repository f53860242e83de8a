// A WebSocket client over a non-blocking Winsock socket. A thread of its
// own reads: the window thread that uses the client never waits on the
// socket, and big messages can be dealt with where they arrive.
#pragma once
#include <winsock2.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "engine/websocket_frame.h"

namespace engine {

class WebSocketClient {
 public:
  WebSocketClient() = default;
  ~WebSocketClient();
  WebSocketClient(const WebSocketClient&) = delete;
  WebSocketClient& operator=(const WebSocketClient&) = delete;

  // Connects, upgrades and starts reading; false (with reason) within
  // about timeoutMs. The callbacks below are set before.
  bool open(const std::string& host, int port, const std::string& path, int timeoutMs,
            std::string& reason);
  // From any thread.
  bool sendText(const std::string& text);
  // Waits up to ms for a message and hands every one that has come to
  // onMessage. False once the connection is gone. While it waits, what
  // other threads and programs send to this thread's windows is answered:
  // a window waiting for the browser still answers them. Posted messages
  // and input wait for the message loop.
  bool pump(int ms);
  void close();
  bool connected() const { return sock_ != INVALID_SOCKET; }

  std::function<void(const std::string&)> onMessage;
  // On the reading thread, each message first: true when it was dealt with
  // there and goes no further. Optional.
  std::function<bool(std::string&)> onArrival;
  // On the reading thread, when messages wait for pump and none did before.
  std::function<void()> onWaiting;
  std::function<void(const std::string&)> onLog;  // optional, from either thread

 private:
  void read(std::string bytes);  // the reading thread, from bytes already read
  bool sendAll(const std::string& bytes);
  SOCKET sock_ = INVALID_SOCKET;
  std::mutex sending_;
  std::atomic<bool> broken_{false};  // a send failed: the reader ends the connection
  std::atomic<bool> stop_{false};
  std::thread reader_;
  std::mutex m_;
  HANDLE came_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // set while inbox_ or gone_ waits
  std::deque<std::string> inbox_;  // messages for pump
  bool gone_ = false;              // the reader saw the end
};

// A socket listening on 127.0.0.1 at a port of the system's choice, which
// goes into port; INVALID_SOCKET on failure. Nothing is ever accepted: a
// host process connected to it learns of this process's end by a reset.
SOCKET listenLoopback(int& port);

// Plain GET over a fresh connection; the body of a 200 answer, within timeoutMs.
bool httpGet(const std::string& host, int port, const std::string& path, int timeoutMs,
             std::string& body);

}  // namespace engine
