// The DLL command table: lazy resolution by number, one module reference per
// command, all released at termination.
#include <windows.h>
#include <string>
#include <vector>
#include "runtime/core_commands.h"
#include "runtime/dll_commands.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"

// Shared with dll_trampoline.S.
extern "C" {
void** paginetDllTargets = nullptr;
int32_t paginetDllCount = 0;
void paginetDllResolveStub();
void* RT_CDECL paginetDllResolve(int32_t n);
[[noreturn]] void RT_CDECL paginetDllBadNumber(int32_t n);
}

namespace {

const char* const* gFiles = nullptr;
const char* const* gFunctions = nullptr;
std::vector<void*> gTargets;
std::vector<HMODULE> gModules;

const wchar_t* const kFallbackDlls[] = {L"Kernel32.dll", L"Gdi32.dll",   L"User32.dll",
                                        L"Advapi32.dll", L"Mpr.dll",     L"Shell32.dll"};

// GetProcAddress's name argument: the name itself, or for "#n" the ordinal
// n truncated to 16 bits. Ordinal 0 names nothing.
bool procName(const char* function, LPCSTR* out) {
  if (function[0] != '#') {
    *out = function;
    return function[0] != '\0';
  }
  uint32_t n = 0;
  for (const char* p = function + 1; *p >= '0' && *p <= '9'; ++p) n = n * 10 + uint32_t(*p - '0');
  n &= 0xFFFF;
  *out = MAKEINTRESOURCEA(n);
  return n != 0;
}

HMODULE loadDll(const std::string& path) { return LoadLibraryW(rt::gbkToWide(path).c_str()); }

// Contains ":" -> that path only; else run directory, module directory,
// then the system's own search.
HMODULE loadNamedDll(const std::string& file) {
  if (file.find(':') != std::string::npos) return loadDll(file);
  if (HMODULE m = loadDll(rt::runDirectory() + "\\" + file)) return m;
  if (!rt::moduleDirectory().empty())
    if (HMODULE m = loadDll(rt::moduleDirectory() + file)) return m;
  return loadDll(file);
}

}  // namespace

void* RT_CDECL paginetDllResolve(int32_t n) {
  const std::string file = gFiles[n] ? gFiles[n] : "";
  const char* function = gFunctions[n] ? gFunctions[n] : "";
  LPCSTR proc;
  const bool named = procName(function, &proc);
  HMODULE module = nullptr;
  FARPROC address = nullptr;
  if (file.empty()) {
    for (const wchar_t* dll : kFallbackDlls) {
      HMODULE m = LoadLibraryW(dll);
      if (!m) continue;
      if ((address = named ? GetProcAddress(m, proc) : nullptr)) {
        module = m;
        break;
      }
      FreeLibrary(m);
    }
  } else if ((module = loadNamedDll(file))) {
    address = named ? GetProcAddress(module, proc) : nullptr;
  }
  if (!address) {
    if (module) FreeLibrary(module);
    if (file.empty())
      rt::reportError(std::string("无法找到指定DLL库文件中的输出命令“") + function + "”", 0, 0, 0);
    rt::reportError("无法找到指定DLL库文件“" + file + "”中的输出命令“" + function + "”", 0, 0, 0);
  }
  gModules[size_t(n)] = module;
  gTargets[size_t(n)] = reinterpret_cast<void*>(address);
  return gTargets[size_t(n)];
}

void RT_CDECL paginetDllBadNumber(int32_t n) {
  rt::reportError("无法找到指定的DLL命令“" + std::to_string(n) + "”", 0, 0, 0);
}

namespace rt {

void initDllCommands(int32_t count, const char* const* files, const char* const* functions) {
  releaseDllCommands();
  gFiles = files;
  gFunctions = functions;
  const size_t n = count > 0 && files && functions ? size_t(count) : 0;
  gTargets.assign(n, reinterpret_cast<void*>(paginetDllResolveStub));
  gModules.assign(n, nullptr);
  paginetDllTargets = gTargets.data();
  paginetDllCount = int32_t(n);
}

void releaseDllCommands() {
  for (size_t i = 0; i < gModules.size(); ++i) {
    if (gModules[i]) FreeLibrary(gModules[i]);
    gModules[i] = nullptr;
    gTargets[i] = reinterpret_cast<void*>(paginetDllResolveStub);
  }
}

}  // namespace rt
