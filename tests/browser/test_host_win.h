// Test host for the browser library under Wine: a recording runtime
// notification entry, a message-box answerer thread and the engine double.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/abi.h"
#include "tests/browser/engine_double.h"

namespace host {

struct Box {
  std::wstring caption;
  std::wstring text;
};

struct RecordedEvent {
  int32_t event;
  std::vector<int32_t> ints;
  std::vector<std::string> texts;   // GBK, by reference
};

// Answers of the recording runtime for the next typed events.
struct EventAnswer {
  bool ran = false;
  int32_t hasResult = 0;
  uint32_t result = 0;
  const char* replaceText = nullptr;   // stored into the first by-reference text
};

void start();                         // answerer thread, library start notification
void setRunDirectory(const std::string& gbk);   // with trailing backslash
std::vector<Box> takeBoxes();         // waits briefly for pending boxes
std::vector<RecordedEvent>& events();
EventAnswer& answer();

// The view the tests create: the startup window's browser view.
const uint32_t kWindowId = 0x52010001, kComponentId = 0x160001;
rt::Value viewArg();                  // that view as a component argument

std::wstring exeDirectory();          // with trailing backslash
std::wstring doublePath();
std::string toGbk(const std::wstring& w);

// The engine double's controls, once the library has loaded it.
HMODULE doubleModule();
std::string doubleLog();
void doubleReset();
void doubleSetResults(const char* text, int number);
DoubleCallback doubleCallback(wkeWebView view, const char* registration);
wkeString doubleString(const wchar_t* text);

}  // namespace host
