// Host for the browser library under Wine, for its tests and benchmark: a
// recording runtime notification entry, a message-box answerer thread and
// the engine double.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "harness/engine_double.h"
#include "runtime/abi.h"

namespace host {

struct Box {
  std::wstring caption;
  std::wstring text;
};

struct RecordedEvent {
  int32_t event;
  std::vector<int32_t> ints;
  std::vector<std::string> texts;   // GBK, by reference
  uint32_t componentId;
};

// Answers of the recording runtime for the next typed events.
struct EventAnswer {
  bool ran = false;
  int32_t hasResult = 0;
  uint32_t result = 0;
  const char* replaceText = nullptr;   // stored into the first by-reference text
  void (*routine)(int32_t event) = nullptr;   // runs as a bound routine would
};

// Window and component ids of each runtime notification 2000, in order.
struct DestroyedIds {
  uint32_t windowId, componentId;
};

void start();                         // answerer thread, library start notification
// start() once, with the engine double as node.dll in a run directory of
// its own.
void startWithDouble();
void setRunDirectory(const std::string& gbk);   // with trailing backslash
std::vector<Box> takeBoxes();         // waits briefly for pending boxes
std::vector<RecordedEvent>& events();
EventAnswer& answer();
std::vector<DestroyedIds>& destroyedIds();

// The view the tests create: the startup window's browser view.
const uint32_t kWindowId = 0x52010001, kComponentId = 0x160001;
rt::Value viewArg(uint32_t componentId = kComponentId);   // as a component argument
// The startup window's user agent and stored view properties (148 bytes).
extern const char kIpad[];
std::vector<uint8_t> startupBlock();
// CreateComponent of the browser view at run time, 1335 x 800 in parent.
rt::LiveObject* createView(HWND parent, uint32_t componentId,
                           const std::vector<uint8_t>& block = startupBlock());

std::wstring exeDirectory();          // with trailing backslash
std::wstring doublePath();
std::wstring partialDoublePath();     // the double without the window exports
// A fresh folder under the temporary directory for this process, with a
// trailing backslash; sub-folders of it are made on demand.
std::wstring scratch(const std::wstring& sub = L"");
std::string toGbk(const std::wstring& w);

// The engine double's controls, once the library has loaded it.
HMODULE doubleModule();
std::string doubleLog();
void doubleReset();
void doubleSetResults(const char* text, int number);
DoubleCallback doubleCallback(wkeWebView view, const char* registration);
wkeString doubleString(const wchar_t* text);
void doubleSetLateDestroy(bool late);
BOOL doubleOpenFile(OPENFILENAMEW* ofn);

}  // namespace host
