// Child process for the paths that end the program: one case per run,
// chosen by the first argument; tests/wine/commands_dll.sh checks the output.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include "runtime/core_commands.h"
#include "runtime/dll_call.h"
#include "runtime/dll_commands.h"
#include "sound/sound.h"
#include "tests/runtime/commands_fake_runtime.h"

namespace {

void printLoaded() {
  std::printf("loaded=%d\n", GetModuleHandleW(L"commands_test_dll.dll") ? 1 : 0);
}

void RT_CALL printRuntimeError(int32_t code, int32_t w1, int32_t w2) {
  std::printf("REPORT code=%d w=%d,%d\n", code, w1, w2);
  std::fflush(stdout);
  ExitProcess(UINT(-1));
}

int callDll(const char* file, const char* function, uint32_t words, int32_t count) {
  const char* files[] = {file};
  const char* functions[] = {function};
  rt::initDllCommands(1, files, functions);
  rt::ServiceTable s{};
  s.reportRuntimeError = printRuntimeError;
  s.callDllCommand = reinterpret_cast<void*>(CallDllCommandEntry);
  const uint32_t args[2] = {words, words};
  const uint32_t r = uint32_t(rt::callDllCommand(&s, 0, args, count, false, 67228418, 54));
  std::printf("returned %u\n", r);
  return 0;
}

// A short 8 kHz mono 8-bit wave image as a byte-set block.
std::string waveByteSet() {
  std::string b;
  auto word = [&](uint32_t v, int n) { for (int i = 0; i < n; ++i) b += char(v >> (8 * i)); };
  const uint32_t samples = 800;
  word(1, 4);
  word(44 + samples, 4);
  b += "RIFF";
  word(36 + samples, 4);
  b += "WAVEfmt ";
  word(16, 4); word(1, 2); word(1, 2); word(8000, 4); word(8000, 4); word(1, 2); word(8, 2);
  b += "data";
  word(samples, 4);
  b += std::string(samples, '\x80');
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  char path[MAX_PATH];
  std::string exe(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  fake::setDirectories(exe.substr(0, exe.rfind('\\')), "");
  fake::onReport = printLoaded;
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "missing-export") return callDll("commands_test_dll.dll", "NoSuchExport", 0, 0);
  if (mode == "missing-dll") return callDll("no_such_library.dll", "Add2", 0, 0);
  if (mode == "no-file") return callDll("", "NoSuchFunction", 0, 0);
  if (mode == "ordinal-missing") return callDll("commands_test_dll.dll", "#18", 0, 0);
  if (mode == "stack") return callDll("commands_test_dll.dll", "Add2", 1, 1);
  if (mode == "play") {
    std::string block = waveByteSet();
    rt::Value args[1] = {fake::bytes(reinterpret_cast<const uint8_t*>(block.data()))};
    rt::Value r{};
    core::PlayMusic(&r, 1, args);
    std::printf("play=%d\n", r.i);
    snd::StopWavePlayers(true);
    return 0;
  }
  std::printf("unknown mode\n");
  return 2;
}
