#include "engine/websocket_win.h"

#include <windows.h>
#include <ws2tcpip.h>

#include <random>
#include <system_error>
#include <vector>

#include "engine/base64.h"
#include "engine/websocket_handshake.h"

namespace engine {
namespace {

bool startWinsock() {
  static bool ok = [] {
    WSADATA d;
    return WSAStartup(MAKEWORD(2, 2), &d) == 0;
  }();
  return ok;
}

}  // namespace

SOCKET listenLoopback(int& port) {
  if (!startWinsock()) return INVALID_SOCKET;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int len = sizeof a;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(s, 1) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  port = ntohs(a.sin_port);
  return s;
}

namespace {

std::mt19937& rng() {
  static std::mt19937 g(std::random_device{}() ^ GetTickCount());
  return g;
}

bool waitFor(SOCKET s, bool write, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  fd_set err;
  FD_ZERO(&err);
  FD_SET(s, &err);
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  int n = select(0, write ? nullptr : &set, write ? &set : nullptr, &err, &tv);
  return n > 0 && FD_ISSET(s, &set);
}

SOCKET connectTo(const std::string& host, int port, int timeoutMs) {
  if (!startWinsock()) return INVALID_SOCKET;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* ai = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &ai) != 0 || !ai)
    return INVALID_SOCKET;
  SOCKET s = ::socket(ai->ai_family, ai->ai_socktype, ai->ai_protocol);
  if (s == INVALID_SOCKET) { freeaddrinfo(ai); return s; }
  u_long nb = 1;
  ioctlsocket(s, FIONBIO, &nb);
  BOOL nodelay = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nodelay), sizeof nodelay);
  int rcv = 4 << 20;
  setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&rcv), sizeof rcv);
  int rc = ::connect(s, ai->ai_addr, static_cast<int>(ai->ai_addrlen));
  freeaddrinfo(ai);
  if (rc != 0 && (WSAGetLastError() != WSAEWOULDBLOCK || !waitFor(s, true, timeoutMs))) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

bool sendBytes(SOCKET s, const std::string& bytes) {
  size_t off = 0;
  DWORD start = GetTickCount();
  while (off < bytes.size()) {
    int n = ::send(s, bytes.data() + off, static_cast<int>(bytes.size() - off), 0);
    if (n > 0) { off += static_cast<size_t>(n); continue; }
    if (WSAGetLastError() != WSAEWOULDBLOCK || GetTickCount() - start > 10000) return false;
    waitFor(s, true, 100);
  }
  return true;
}

// Appends what can be read now; false when the peer closed or failed.
bool recvNow(SOCKET s, std::string& into) {
  char buf[65536];
  for (;;) {
    int n = ::recv(s, buf, sizeof buf, 0);
    if (n > 0) { into.append(buf, static_cast<size_t>(n)); continue; }
    if (n == 0) return false;
    return WSAGetLastError() == WSAEWOULDBLOCK;
  }
}

}  // namespace

WebSocketClient::~WebSocketClient() {
  close();
  if (came_) CloseHandle(came_);
}

// The reader notices within one wait of select, so stopping is bounded.
void WebSocketClient::close() {
  stop_ = true;
  if (reader_.joinable()) reader_.join();
  if (sock_ != INVALID_SOCKET) closesocket(sock_);
  sock_ = INVALID_SOCKET;
  std::lock_guard<std::mutex> lock(m_);
  inbox_.clear();
  gone_ = false;
}

bool WebSocketClient::open(const std::string& host, int port, const std::string& path,
                           int timeoutMs, std::string& reason) {
  close();
  sock_ = connectTo(host, port, timeoutMs);
  if (sock_ == INVALID_SOCKET) { reason = "cannot connect"; return false; }
  std::string keyBytes(16, '\0');
  for (char& c : keyBytes) c = static_cast<char>(rng()() & 0xFF);
  std::string key = base64Encode(keyBytes);
  if (!sendBytes(sock_, upgradeRequest(host, port, path, key))) {
    reason = "cannot send the upgrade";
    close();
    return false;
  }
  std::string in;
  DWORD start = GetTickCount();
  size_t n = 0;
  while (!(n = headerLength(in))) {
    int left = timeoutMs - static_cast<int>(GetTickCount() - start);
    if (left <= 0 || (waitFor(sock_, false, left) && !recvNow(sock_, in)) || in.size() > 65536) {
      reason = "no upgrade answer";
      close();
      return false;
    }
  }
  if (!upgradeAccepted(std::string_view(in).substr(0, n), key)) {
    reason = "upgrade refused: " + in.substr(0, in.find("\r\n"));
    close();
    return false;
  }
  stop_ = false;
  broken_ = false;
  try {
    reader_ = std::thread([this, rest = in.substr(n)]() mutable { read(std::move(rest)); });
  } catch (const std::system_error&) {
    reason = "no thread to read with";
    close();
    return false;
  }
  return true;
}

// Whole frames one at a time, whichever thread sends. A failed send leaves
// the socket to the reader, which ends the connection.
bool WebSocketClient::sendAll(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(sending_);
  if (sock_ == INVALID_SOCKET || broken_) return false;
  if (sendBytes(sock_, bytes)) return true;
  broken_ = true;
  return false;
}

bool WebSocketClient::sendText(const std::string& text) {
  std::array<uint8_t, 4> mask;
  {
    std::lock_guard<std::mutex> lock(sending_);
    uint32_t r = rng()();
    for (int i = 0; i < 4; ++i) mask[i] = static_cast<uint8_t>(r >> (8 * i));
  }
  return sendAll(encodeFrame(Opcode::Text, text, mask));
}

void WebSocketClient::read(std::string in) {
  FrameReader reader;
  bool alive = true;
  while (alive && !stop_) {
    if (in.empty()) waitFor(sock_, false, 50);
    alive = recvNow(sock_, in);
    std::vector<WsEvent> events;
    uint64_t dropped = reader.dropped();
    reader.feed(in, events);
    in.clear();
    if (reader.dropped() != dropped && onLog)
      onLog("a message over " + std::to_string(kMaxMessage >> 20) + " MB from the browser was passed over");
    std::deque<std::string> come;
    for (auto& e : events) {
      if (e.kind == WsEvent::Message) {
        if (!onArrival || !onArrival(e.data)) come.push_back(std::move(e.data));
      } else if (e.kind == WsEvent::Ping) {
        sendAll(encodeFrame(Opcode::Pong, e.data, {1, 2, 3, 4}));
      } else if (e.kind == WsEvent::Close) {
        sendAll(encodeFrame(Opcode::Close, e.data.substr(0, 2), {1, 2, 3, 4}));
        alive = false;
      }
    }
    if (reader.failed() || broken_) alive = false;
    bool first;
    {
      std::lock_guard<std::mutex> lock(m_);
      first = inbox_.empty() && !gone_;
      for (auto& m : come) inbox_.push_back(std::move(m));
      gone_ = !alive;
      if (come.empty() && alive) continue;
    }
    // Outside the lock: a waiter that wakes to nothing looks and waits again.
    SetEvent(came_);
    if (first && onWaiting) onWaiting();
  }
}

bool WebSocketClient::pump(int ms) {
  if (sock_ == INVALID_SOCKET) return false;
  for (const DWORD start = GetTickCount();;) {
    {
      std::lock_guard<std::mutex> lock(m_);
      if (!inbox_.empty() || gone_) break;
      ResetEvent(came_);
    }
    const DWORD spent = GetTickCount() - start;
    if (ms <= 0 || spent >= DWORD(ms)) break;
    const DWORD r = MsgWaitForMultipleObjectsEx(1, &came_, DWORD(ms) - spent, QS_SENDMESSAGE, 0);
    MSG m;
    if (r == WAIT_OBJECT_0 + 1) PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    else if (r != WAIT_OBJECT_0) break;
  }
  std::deque<std::string> come;
  bool gone;
  {
    std::lock_guard<std::mutex> lock(m_);
    come.swap(inbox_);
    gone = gone_;
  }
  for (const std::string& m : come) {
    if (onMessage) onMessage(m);
    if (sock_ == INVALID_SOCKET) return false;  // a callback closed it
  }
  if (gone) close();
  return !gone;
}

bool httpGet(const std::string& host, int port, const std::string& path, int timeoutMs,
             std::string& body) {
  SOCKET s = connectTo(host, port, timeoutMs);
  if (s == INVALID_SOCKET) return false;
  std::string req = "GET " + path + " HTTP/1.1\r\nHost: " + host + ":" + std::to_string(port) +
                    "\r\nConnection: close\r\n\r\n";
  bool ok = false;
  if (sendBytes(s, req)) {
    std::string in;
    DWORD start = GetTickCount();
    bool complete = false, open = true;
    while (open) {
      int left = timeoutMs - static_cast<int>(GetTickCount() - start);
      if (left <= 0) break;
      if (waitFor(s, false, left)) open = recvNow(s, in);
      ok = httpBody(in, body, complete);
      if (complete) break;
    }
    if (!complete && open) ok = false;
  }
  closesocket(s);
  return ok;
}

}  // namespace engine
