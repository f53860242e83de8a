// Console messages and uncaught exceptions of a page, as the application's
// console notice carries them.
#pragma once
#include <string>

#include "engine/session.h"

namespace engine {

// Console levels told to the application.
enum : int { kConsoleLog = 1, kConsoleWarning = 2, kConsoleError = 3, kConsoleDebug = 4, kConsoleInfo = 5 };

struct ConsoleLine {
  int level = kConsoleLog;
  std::string message;  // the arguments, space-separated
  std::string source;   // the script's address; "" when unknown
  int line = 0;         // from 1; 0 when unknown
  std::string stack;    // one "function (address:line:column)" per line
};

// Reads the parameters of Runtime.consoleAPICalled.
ConsoleLine readConsoleCall(const Json& params);
// Reads the parameters of Runtime.exceptionThrown (an error).
ConsoleLine readException(const Json& params);

}  // namespace engine
