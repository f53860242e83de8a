// A small program on the runtime for the scripted Wine tests: a test library
// with a window type and a child component type, a form built at start-up,
// and a log of what happened (PROBE_LOG). PROBE_MODE picks the scenario:
//   normal  load, raise events, write properties, close the window -> exit 0
//   error   a run-time error while a timer raises events; a driver thread
//           reads and closes the box -> exit -1
//   thread  ExitProgram(7) from a worker thread
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "runtime/abi.h"
#include "runtime/form_description.h"

namespace {

const rt::ServiceTable* gServices;
rt::NotifyFn gNotify;
DWORD gMainThread;
std::string gMode;
HWND gMain;

void logLine(const std::string& s) {
  const char* path = std::getenv("PROBE_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s\n", s.c_str());
    std::fclose(f);
  }
}

std::string utf8(const wchar_t* w) {
  char buf[2048];
  int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, buf, sizeof buf, nullptr, nullptr);
  return n > 0 ? std::string(buf, size_t(n - 1)) : std::string();
}

const uint32_t kWindowId = 0x52010001;
const uint32_t kOwnId = 0x06010000;
const uint32_t kIds[] = {0x1601A001, 0x1601A002, 0x1601A003};

// Live objects of the test types.
struct ProbeObject {
  rt::LiveObject head;
};

LRESULT CALLBACK probeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto obj = reinterpret_cast<ProbeObject*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  switch (msg) {
    case rt::kMsgQueryObject: return LRESULT(obj);
    case WM_TIMER: {
      KillTimer(h, wp);
      rt::EventRecord ev{};
      ev.windowId = kWindowId;
      ev.componentId = kIds[0];
      ev.event = 5;
      ev.argc = 2;
      ev.args[0] = 11;
      ev.args[1] = 22;
      int32_t r = gNotify(rt::kNotifyEvent, uint32_t(uintptr_t(&ev)), 0);
      logLine("timer notify=" + std::to_string(r));
      if (gMode == "normal") DestroyWindow(gMain);
      return 0;
    }
    case WM_NCDESTROY:
      if (obj) {
        gNotify(rt::kNotifyDestroyed, obj->head.windowId, obj->head.componentId);
        delete obj;
      }
      return 0;
    default: return DefWindowProcW(h, msg, wp, lp);
  }
}

rt::LiveObject* RT_CALL createProbe(const uint8_t* data, uint32_t size, uint32_t style,
                                    void* parent, uint32_t controlId, void*, int32_t left,
                                    int32_t top, int32_t width, int32_t height,
                                    uint32_t windowId, uint32_t componentId, void*, int32_t) {
  bool isWindow = componentId == kOwnId;
  DWORD ws = isWindow ? WS_OVERLAPPEDWINDOW : WS_CHILD;
  HWND h = CreateWindowExW(0, L"ProbeClass", L"probe", ws | style, left, top, width, height,
                           static_cast<HWND>(parent), isWindow ? nullptr : HMENU(uintptr_t(controlId)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!h) return nullptr;
  auto obj = new ProbeObject{{h, windowId, componentId, isWindow ? 0x10001u : 0x10002u, nullptr}};
  SetWindowLongPtrW(h, GWLP_USERDATA, LONG_PTR(obj));
  std::string name = isWindow ? "window" : std::string(reinterpret_cast<const char*>(data), size);
  logLine("create " + name + " " + std::to_string(controlId) + " parent=" +
          std::to_string(GetParent(h) == gMain && gMain ? 1 : 0));
  if (isWindow) gMain = h;
  return &obj->head;
}

void* RT_CALL probeInterface(int32_t op) {
  return op == rt::kOpCreate ? reinterpret_cast<void*>(&createProbe) : nullptr;
}

const rt::TypeRecord kTypes[2] = {
    {"窗口", "window", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 8, nullptr, probeInterface, 0, nullptr},
    {"探针", "probe", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 8, nullptr, probeInterface, 0, nullptr},
};

int32_t RT_CALL libraryNotify(int32_t code, uint32_t p1, uint32_t) {
  if (code == rt::kLibStart) gNotify = reinterpret_cast<rt::NotifyFn>(uintptr_t(p1));
  if (code == rt::kLibTerminate) logLine("library terminate");
  return code == rt::kLibStart || code == rt::kLibTerminate ? 0 : -1;
}

rt::LibraryRecord makeLibrary() {
  rt::LibraryRecord lib{};
  lib.formatVersion = 20000101;
  lib.typeCount = 2;
  lib.types = kTypes;
  lib.notify = libraryNotify;
  return lib;
}
const rt::LibraryRecord kLibrary = makeLibrary();
const rt::LibraryRecord* const kLibraries[] = {&kLibrary};

// Event routines: cdecl, result slot first.
void RT_CDECL windowEvent0(rt::RoutineResult*) {
  logLine("event 0 visible=" + std::to_string(IsWindowVisible(gMain) ? 1 : 0));
}
void RT_CDECL windowEvent3(rt::RoutineResult*) { logLine("event 3"); }
void RT_CDECL windowEvent4(rt::RoutineResult*) { logLine("event 4"); }
void RT_CDECL probeEvent5(rt::RoutineResult* r, int32_t a, int32_t b) {
  logLine("event 5 ran " + std::to_string(a) + " " + std::to_string(b));
  r->hasResult = 1;
  r->value[0] = 1;
}
void RT_CDECL exitRoutine() {
  logLine(std::string("exit routine main=") + (GetCurrentThreadId() == gMainThread ? "1" : "0"));
}

template <class F> int32_t offsetOf(F f) { return int32_t(uintptr_t(reinterpret_cast<void*>(f))); }

std::vector<uint8_t> buildForm() {
  rt::FormDescription form;
  rt::FormWindow w;
  w.id = kWindowId;
  rt::ComponentRecord win;
  win.id = kOwnId;
  win.typeCode = 0x10001;
  win.left = 50;
  win.top = 50;
  win.width = 400;
  win.height = 300;
  win.mousePointer = {0, 0, 0, 0};
  win.tag = "主窗口";
  win.flags = rt::kRecordVisible;
  win.events = {{0, offsetOf(windowEvent0), 0}, {3, offsetOf(windowEvent3), 0},
                {4, offsetOf(windowEvent4), 0}};
  w.desc.records.push_back(win);
  const char* names[] = {"A", "B", "C"};
  for (int i = 0; i < 3; ++i) {
    rt::ComponentRecord c;
    c.id = kIds[i];
    c.typeCode = 0x10002;
    c.name = names[i];
    c.left = 10 + 60 * i;
    c.top = 10;
    c.width = 50;
    c.height = 20;
    c.mousePointer = {0, 0, 0, 0};
    c.flags = rt::kRecordVisible | rt::kRecordTabStop;
    if (i == 0) c.events = {{5, offsetOf(probeEvent5), 0}};
    c.propertyData.assign(names[i], names[i] + 1);
    w.desc.records.push_back(c);
  }
  form.windows.push_back(w);
  return rt::writeFormDescription(form);
}

const std::vector<uint8_t> gForm = buildForm();

// Idle handlers (window, function, argument) on the window and two
// components; the last one listed, called first, removes all three.
struct IdleTriple { void* hwnd; void (RT_CALL* fn)(void*); void* arg; };
IdleTriple gIdle[3];
void RT_CALL onIdle(void* arg) {
  const auto i = uintptr_t(arg);
  logLine("idle " + std::to_string(i));
  if (i == 2)
    for (const IdleTriple& t : gIdle) gNotify(rt::kNotifyRemoveIdle, uint32_t(uintptr_t(t.hwnd)), 0);
}
void addIdleHandlers() {
  for (uintptr_t i = 0; i < 3; ++i) {
    rt::LiveObject* o = i == 0 ? nullptr : reinterpret_cast<rt::LiveObject*>(
        gNotify(rt::kNotifyFindObject, kWindowId, kIds[i]));
    gIdle[i] = {o ? o->hwnd : gMain, onIdle, reinterpret_cast<void*>(i)};
    gNotify(rt::kNotifyAddIdle, uint32_t(uintptr_t(&gIdle[i])), 0);
  }
}

DWORD WINAPI boxDriver(void*) {
  for (int i = 0; i < 600; ++i) {
    HWND box = FindWindowW(L"#32770", L"\u9519\u8bef");
    if (box) {
      std::string text;
      for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t buf[1024] = {};
        GetWindowTextW(c, buf, 1024);
        std::string t = utf8(buf);
        if (t.size() > text.size()) text = t;
      }
      std::string escaped;
      for (char ch : text) escaped += ch == '\r' ? std::string("\\r") : ch == '\n' ? std::string("\\n") : std::string(1, ch);
      logLine("box: " + escaped);
      Sleep(800);  // let the timer try to raise its event meanwhile
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(100);
  }
  logLine("box not found");
  return 0;
}

DWORD WINAPI exitFromThread(void*) {
  Sleep(500);
  gServices->exitProgram(7);
  return 0;
}

}  // namespace

extern "C" const rt::ProgramHeader kProgramHeader = {
    3, 0, 146253, nullptr, nullptr, 0, gForm.data(), uint32_t(gForm.size()),
    1, kLibraries, 0, nullptr, nullptr};

extern "C" int32_t RT_CALL AppStart(const rt::ServiceTable* services) {
  gServices = services;
  gMainThread = GetCurrentThreadId();
  const char* mode = std::getenv("PROBE_MODE");
  gMode = mode ? mode : "normal";
  WNDCLASSW wc = {};
  wc.lpfnWndProc = probeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ProbeClass";
  RegisterClassW(&wc);

  services->callRuntimeRoutine(6);
  wchar_t cwd[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, cwd);
  logLine("cwd=" + utf8(cwd));
  services->callRuntimeRoutine(3, exitRoutine);
  services->callRuntimeRoutine(3, exitRoutine);
  services->loadStartupWindow(kWindowId);

  // Geometry writes are clamped; reads give the live window.
  services->writeComponentProperty(kWindowId, kIds[1], 0, -1, 40000, 0);
  services->writeComponentProperty(kWindowId, kIds[1], 2, -1, uint32_t(-5), 0);
  logLine("left=" + std::to_string(int32_t(services->readComponentProperty(kWindowId, kIds[1], 0, -1))) +
          " width=" + std::to_string(int32_t(services->readComponentProperty(kWindowId, kIds[1], 2, -1))));
  logLine("visible=" + std::to_string(IsWindowVisible(gMain) ? 1 : 0));

  if (gMode == "error") {
    CreateThread(nullptr, 0, boxDriver, nullptr, 0, nullptr);
    SetTimer(gMain, 1, 100, nullptr);
    services->reportRuntimeError(6, 67228418, 54);
    logLine("after error");  // never reached
  } else if (gMode == "thread") {
    CreateThread(nullptr, 0, exitFromThread, nullptr, 0, nullptr);
  } else {
    addIdleHandlers();
    SetTimer(gMain, 1, 200, nullptr);
  }
  services->runMessageLoop();
  logLine("loop returned");
  return 0;
}
