#include "engine/launch_win.h"

#include <string>
#include <vector>

#include "engine/host_win.h"
#include "engine/websocket_win.h"
#include "engine/wide_win.h"

namespace engine {
namespace {

bool exists(const std::wstring& p) {
  DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring env(const wchar_t* name) {
  wchar_t buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(name, buf, MAX_PATH);
  return n && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

std::wstring appPath(HKEY root, const wchar_t* exe, REGSAM view) {
  std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
  key += exe;
  HKEY h;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS) return {};
  wchar_t buf[MAX_PATH] = {};
  DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
  LONG rc = RegQueryValueExW(h, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS && type == REG_SZ ? std::wstring(buf) : std::wstring();
}

std::wstring findBrowser() {
  for (const wchar_t* exe : {L"msedge.exe", L"chrome.exe"})
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_64KEY)}) {
        std::wstring p = appPath(root, exe, view);
        if (!p.empty() && exists(p)) return p;
      }
  for (const wchar_t* base : {L"ProgramFiles(x86)", L"ProgramW6432", L"ProgramFiles", L"LOCALAPPDATA"})
    for (const wchar_t* tail : {L"\\Microsoft\\Edge\\Application\\msedge.exe",
                                L"\\Google\\Chrome\\Application\\chrome.exe"}) {
      std::wstring root = env(base);
      if (!root.empty() && exists(root + tail)) return root + tail;
    }
  return {};
}

}  // namespace

int readActivePort(const std::wstring& file) {
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  char buf[256] = {};
  DWORD n = 0;
  ReadFile(h, buf, sizeof buf - 1, &n, nullptr);
  CloseHandle(h);
  int port = atoi(buf);
  return port > 0 && std::string(buf, n).find('\n') != std::string::npos ? port : 0;
}

// Cookies and local storage outlive the process: the profile stays in one
// folder, inside the storage folder the application names, or else in the
// user's local application data.
std::wstring profileFolder(const std::wstring& storage) {
  std::wstring base = storage;
  if (base.empty()) {
    base = env(L"LOCALAPPDATA");
    if (base.empty()) {
      wchar_t tmp[MAX_PATH];
      if (GetTempPathW(MAX_PATH, tmp)) base = tmp;
    }
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    base += L"Paginet";
  }
  if (!base.empty() && base.back() != L'\\') base += L'\\';
  return base + L"browser-profile";
}

// A profile a second copy of the program may not share: the first copy's
// browser holds it, and a browser started on it hands over and ends. The
// lock goes with the process, however it ends.
HANDLE claimProfile(const std::wstring& base, std::wstring& profile) {
  for (int i = 1; i <= 9; ++i) {
    std::wstring dir = i == 1 ? base : base + L"-" + std::to_wstring(i);
    if (!makeFolders(dir)) break;
    HANDLE h = CreateFileW((dir + L"\\paginet.lock").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      profile = dir;
      return h;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION) break;
  }
  engineLog("no browser profile free at " + toUtf8(base.c_str()) + ", error " + std::to_string(GetLastError()));
  return nullptr;
}

std::wstring quoteArg(const std::wstring& arg) {
  std::wstring out = L"\"";
  size_t slashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') { ++slashes; continue; }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, L'\\');
  return out + L"\"";
}

void BrowserHold::release() {
  if (job) CloseHandle(job);
  if (watch != INVALID_SOCKET) closesocket(watch);
  job = nullptr;
  watch = INVALID_SOCKET;
}

bool launchBrowser(const std::wstring& profile, std::wstring& portFile, BrowserHold& hold) {
  std::wstring exe = findBrowser();
  if (exe.empty()) {
    engineLog("no Edge or Chrome found; set PAGINET_ENGINE_DEVTOOLS=host:port");
    return false;
  }
  portFile = profile + L"\\DevToolsActivePort";
  DeleteFileW(portFile.c_str());  // a stale one outlives its browser
  // A browser that is no Windows program runs on the host behind Wine: it
  // needs the host's names for itself and the profile, and no sandbox, as
  // it may run as root.
  bool onHost = exe.size() < 4 || _wcsicmp(exe.c_str() + exe.size() - 4, L".exe") != 0;
  std::wstring args = L" --headless --remote-debugging-port=0 --user-data-dir=" +
                      quoteArg(onHost ? toUtf16(hostPath(profile)) : profile) + (onHost ? L" --no-sandbox" : L"") +
                      L" --no-first-run --disable-gpu --disable-background-networking"
                      L" --disable-component-update --disable-sync --disable-extensions"
                      L" --disable-renderer-backgrounding --disable-background-timer-throttling about:blank";
  std::wstring cmd = quoteArg(exe) + args, app = exe;
  int port = 0;
  if (onHost && exists(L"Z:\\bin\\bash") && (hold.watch = listenLoopback(port)) != INVALID_SOCKET) {
    // Wine gives no live handle to a host process, so no job can hold it,
    // and hands it no handles. A host shell connects to a listener of this
    // process; the reset when the listener goes, whichever way this process
    // ends, ends the browser.
    app = L"Z:\\bin\\bash";
    cmd = L"bash -c " +
          quoteArg(L"exec 3<>/dev/tcp/127.0.0.1/" + std::to_wstring(port) +
                   L" || exit; \"$@\" </dev/null & cat <&3 >/dev/null; kill $!") +
          L" watch " + quoteArg(toUtf16(hostPath(exe))) + args;
  } else if (!onHost && (hold.job = CreateJobObjectW(nullptr, nullptr))) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION li{};
    li.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(hold.job, JobObjectExtendedLimitInformation, &li, sizeof li);
  }
  if (!hold.job && hold.watch == INVALID_SOCKET) engineLog("the browser may outlive this process");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> line(cmd.begin(), cmd.end());
  line.push_back(0);
  if (!CreateProcessW(app.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi)) {
    engineLog("cannot start the browser, error " + std::to_string(GetLastError()));
    hold.release();
    return false;
  }
  if (hold.job && !AssignProcessToJobObject(hold.job, pi.hProcess))
    engineLog("browser not in a job, error " + std::to_string(GetLastError()));
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

}  // namespace engine
