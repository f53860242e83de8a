#include "harness/browser_host_win.h"

#include <cstring>
#include <mutex>
#include <set>

#include "browser/browser_library.h"
#include "browser/engine_loader.h"
#include "runtime/gbk.h"

namespace host {
namespace {

std::mutex gLock;
std::vector<Box> gBoxes;
std::string gRunDir;
std::vector<RecordedEvent> gEvents;
EventAnswer gAnswer;
std::vector<DestroyedIds> gDestroyed;

BOOL CALLBACK findBox(HWND w, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  if (pid != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(w))
    return TRUE;
  static std::set<HWND> answered;
  if (answered.count(w)) return TRUE;
  answered.insert(w);
  Box b;
  wchar_t buf[2048] = {};
  GetWindowTextW(w, buf, 2048);
  b.caption = buf;
  buf[0] = 0;
  GetDlgItemTextW(w, 0xFFFF, buf, 2048);
  b.text = buf;
  {
    std::lock_guard<std::mutex> g(gLock);
    gBoxes.push_back(b);
  }
  PostMessageW(w, WM_COMMAND, IDOK, 0);
  return TRUE;
}

DWORD WINAPI answerer(void*) {
  for (;;) {
    EnumWindows(findBox, 0);
    Sleep(30);
  }
}

int32_t RT_CALL runtimeNotify(int32_t code, uint32_t p1, uint32_t p2) {
  switch (code) {
    case rt::kNotifyProgramKind: return 3;
    case rt::kNotifyRunDirBuffer: {
      if (p1 == 2001 || p1 == 1) std::strcpy(reinterpret_cast<char*>(uintptr_t(p2)), gRunDir.c_str());
      return 0;
    }
    case rt::kNotifyWrapWindow: return int32_t(p1);
    case rt::kNotifyDestroyed:
      gDestroyed.push_back({p1, p2});
      return 0;
    case rt::kNotifyAlloc: return int32_t(uintptr_t(HeapAlloc(GetProcessHeap(), 0, p1 ? p1 : 1)));
    case rt::kNotifyFree:
      if (p1) HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(uintptr_t(p1)));
      return 0;
    case rt::kNotifyTypedEvent: {
      auto* r = reinterpret_cast<rt::TypedEventRecord*>(uintptr_t(p1));
      RecordedEvent e{r->event, {}, {}, r->componentId};
      bool replaced = false;
      for (int i = 0; i < r->argc; ++i) {
        const rt::TypedArg& a = r->args[i];
        if (a.flags & 1) {
          auto** text = reinterpret_cast<const char**>(uintptr_t(a.value.w[0]));
          e.texts.push_back(*text ? *text : "");
          if (gAnswer.replaceText && !replaced) {
            *text = gAnswer.replaceText;
            replaced = true;
          }
        } else {
          e.ints.push_back(a.value.i);
        }
      }
      gEvents.push_back(e);
      if (gAnswer.routine) gAnswer.routine(r->event);
      r->hasResult = gAnswer.hasResult;
      r->result[0] = gAnswer.result;
      return gAnswer.ran ? 1 : 0;
    }
    default: return 0;
  }
}

template <class Fn>
Fn doubleFn(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(doubleModule(), name)));
}

}  // namespace

void start() {
  CreateThread(nullptr, 0, answerer, nullptr, 0, nullptr);
  kBrowserLibrary.notify(rt::kLibStart, uint32_t(uintptr_t(&runtimeNotify)), 0);
}

void startWithDouble() {
  static bool done = false;
  if (done) return;
  done = true;
  start();
  std::wstring dir = scratch(L"engine");
  CopyFileW(doublePath().c_str(), (dir + L"node.dll").c_str(), FALSE);
  setRunDirectory(toGbk(dir));
}

void setRunDirectory(const std::string& gbk) { gRunDir = gbk; }

std::vector<Box> takeBoxes() {
  Sleep(200);
  std::lock_guard<std::mutex> g(gLock);
  std::vector<Box> out;
  out.swap(gBoxes);
  return out;
}

std::vector<RecordedEvent>& events() { return gEvents; }
EventAnswer& answer() { return gAnswer; }
std::vector<DestroyedIds>& destroyedIds() { return gDestroyed; }

std::wstring exeDirectory() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s = path;
  return s.substr(0, s.rfind(L'\\') + 1);
}

std::wstring doublePath() { return exeDirectory() + L"engine_double.dll"; }
std::wstring partialDoublePath() { return exeDirectory() + L"engine_double_partial.dll"; }

std::wstring scratch(const std::wstring& sub) {
  wchar_t tmp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, tmp);
  std::wstring base = std::wstring(tmp) + L"paginet_browser_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(base.c_str(), nullptr);
  if (sub.empty()) return base;
  std::wstring dir = base + sub + L"\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

std::string toGbk(const std::wstring& w) { return rt::wideToGbk(w); }

HMODULE doubleModule() { return GetModuleHandleW(web::enginePath().c_str()); }
std::string doubleLog() { return doubleFn<DoubleLogFn>("doubleLog")(); }
void doubleReset() { doubleFn<DoubleResetFn>("doubleReset")(); }
void doubleSetResults(const char* text, int number) {
  doubleFn<DoubleSetResultsFn>("doubleSetResults")(text, number);
}
DoubleCallback doubleCallback(wkeWebView view, const char* registration) {
  return doubleFn<DoubleCallbackFn>("doubleCallback")(view, registration);
}
wkeString doubleString(const wchar_t* text) {
  return doubleFn<DoubleStringFn>("doubleString")(text);
}
void doubleSetLateDestroy(bool late) {
  doubleFn<void(ENGINE_CALL*)(bool)>("doubleSetLateDestroy")(late);
}
BOOL doubleOpenFile(OPENFILENAMEW* ofn) {
  return doubleFn<BOOL(ENGINE_CALL*)(OPENFILENAMEW*)>("doubleOpenFile")(ofn);
}

rt::Value viewArg(uint32_t componentId) {
  rt::Value v{};
  v.w[0] = kWindowId;
  v.w[1] = componentId;
  v.tag = rt::kTypeBrowserView;
  return v;
}

const char kIpad[] =
    "Mozilla/5.0 (iPad; CPU OS 11_0 like Mac OS X) AppleWebKit/604.1.34 (KHTML, like Gecko) "
    "Version/11.0 Mobile/15A5341f Safari/604.1";

std::vector<uint8_t> startupBlock() {
  std::string b("\x01\x07\x06\x0C", 4);
  b += std::string(11, '\0') + kIpad + std::string(5, '\0');
  return std::vector<uint8_t>(b.begin(), b.end());
}

rt::LiveObject* createView(HWND parent, uint32_t componentId, const std::vector<uint8_t>& block) {
  auto create =
      reinterpret_cast<rt::CreateComponentFn>(kBrowserLibrary.types[4].iface(rt::kOpCreate));
  return create(block.data(), uint32_t(block.size()), 0, parent, 100, nullptr, 0, 0, 1335, 800,
                kWindowId, componentId, nullptr, 0);
}

}  // namespace host
