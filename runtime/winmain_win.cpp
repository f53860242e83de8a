// The program's entry: everything happens inside the application's start-up code.
#include <windows.h>
#include "runtime/runtime_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return rt::runProgram(&kProgramHeader, AppStart);
}
