// DLL commands: the program header's table of DLL file and function names,
// resolved lazily by number and called through an i686 trampoline.
#pragma once
#include <cstdint>

namespace rt {

// Takes the table from the program header; the arrays must outlive the run.
void initDllCommands(int32_t count, const char* const* files, const char* const* functions);
// Releases every module a command loaded and clears the cached addresses.
void releaseDllCommands();

}  // namespace rt

// Service-table entry 1. Not a C function: the caller pushes the DLL
// function's own arguments, then calls this with the command number in EAX;
// control passes to the DLL function, which returns straight to the caller.
extern "C" void CallDllCommandEntry();
