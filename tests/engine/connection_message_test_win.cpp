// node.dll inside the program's message loop: the runtime's pre-translation
// sends its object query (0x8002) to the window of every message, the
// engine's hidden connection window included. That query must not start or
// restart the engine's browser.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "harness/engine_exports_win.h"
#include "runtime/runtime_win.h"

namespace {

// Counts and closes what connects to a loopback listener: each connection is
// one attempt of the engine to reach a browser at the endpoint it was given.
struct Endpoint {
  SOCKET listener = INVALID_SOCKET;
  int port = 0;
  int attempts = 0;
  bool open() {
    WSADATA d;
    if (WSAStartup(MAKEWORD(2, 2), &d) != 0) return false;
    listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof a;
    u_long nonBlocking = 1;
    if (bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener, 8) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len) != 0 ||
        ioctlsocket(listener, FIONBIO, &nonBlocking) != 0)
      return false;
    port = ntohs(a.sin_port);
    return true;
  }
  void poll() {
    for (SOCKET s; (s = accept(listener, nullptr, nullptr)) != INVALID_SOCKET; ++attempts) closesocket(s);
  }
};

// The program's message loop: every message through the runtime's
// pre-translation, then dispatched.
void runLoop(DWORD ms, Endpoint& endpoint) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!rt::preTranslate(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    endpoint.poll();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

std::wstring nodeDll() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  dir.resize(dir.rfind(L'\\'));  // tests\engine
  return dir + L"\\..\\..\\engine\\node.dll";
}

TEST(EngineConnection, RuntimeObjectQueryStartsNoBrowser) {
  Endpoint endpoint;
  ASSERT_TRUE(endpoint.open());
  // Through the C runtime, whose copy of the environment the engine reads.
  _putenv(("PAGINET_ENGINE_DEVTOOLS=127.0.0.1:" + std::to_string(endpoint.port)).c_str());
  EngineExports e{};
  ASSERT_TRUE(e.load(nodeDll().c_str()));
  static const wkeSettings zeros = {};
  e.wkeInitializeEx(&zeros);
  HWND host = makeHostWindow(320, 200);
  wkeWebView v = e.wkeCreateWebWindow(2, host, 0, 0, 320, 200);
  ASSERT_NE(v, nullptr);
  e.wkeLoadURL(v, "about:blank");
  runLoop(1500, endpoint);
  EXPECT_EQ(endpoint.attempts, 1) << "a load asks for the browser once; it cannot be reached";

  // With no view left nothing wants a browser; the connection's timer keeps
  // ticking through the pre-translation, past the two seconds between tries.
  DestroyWindow(e.wkeGetWindowHandle(v));
  int before = endpoint.attempts;
  runLoop(3000, endpoint);
  EXPECT_EQ(endpoint.attempts, before);
  DestroyWindow(host);
}

}  // namespace
