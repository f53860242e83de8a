// A WebSocket client over a non-blocking Winsock socket. Single-threaded:
// every wait is a bounded select().
#pragma once
#include <winsock2.h>

#include <functional>
#include <string>

#include "engine/websocket_frame.h"

namespace engine {

class WebSocketClient {
 public:
  WebSocketClient() = default;
  ~WebSocketClient();
  WebSocketClient(const WebSocketClient&) = delete;
  WebSocketClient& operator=(const WebSocketClient&) = delete;

  // Connects and upgrades; false (with reason) within about timeoutMs.
  bool open(const std::string& host, int port, const std::string& path, int timeoutMs,
            std::string& reason);
  bool sendText(const std::string& text);
  // Waits up to ms for input and hands every complete message to onMessage.
  // False once the connection is gone.
  bool pump(int ms);
  void close();
  bool connected() const { return sock_ != INVALID_SOCKET; }
  SOCKET socket() const { return sock_; }

  std::function<void(const std::string&)> onMessage;
  std::function<void(const std::string&)> onLog;  // optional

 private:
  bool sendAll(const std::string& bytes);
  bool readAvailable(std::string& into);  // false on close or error
  SOCKET sock_ = INVALID_SOCKET;
  FrameReader reader_;
  std::string pending_;  // bytes that came with the upgrade answer
};

// A socket listening on 127.0.0.1 at a port of the system's choice, which
// goes into port; INVALID_SOCKET on failure. Nothing is ever accepted: a
// host process connected to it learns of this process's end by a reset.
SOCKET listenLoopback(int& port);

// Plain GET over a fresh connection; the body of a 200 answer, within timeoutMs.
bool httpGet(const std::string& host, int port, const std::string& path, int timeoutMs,
             std::string& body);

}  // namespace engine
