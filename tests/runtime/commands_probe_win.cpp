// Child process for the paths that end the program: one case per run,
// chosen by the first argument; tests/wine/commands_dll.sh checks the output.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include "runtime/core_commands.h"
#include "runtime/dll_call.h"
#include "runtime/dll_commands.h"
#include "runtime/gbk.h"
#include "sound/sound.h"
#include "sound/wave_player.h"
#include "tests/runtime/commands_fake_runtime.h"
#include "tests/sound/wave_image.h"

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

std::wstring widen(const std::string& gbk) { return rt::gbkToWide(gbk); }

bool writeFile(const std::wstring& path, const sndtest::Bytes& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  bool ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &done, nullptr) && done == bytes.size();
  return CloseHandle(h) && ok;
}

sndtest::Bytes readFile(const std::wstring& path) {
  sndtest::Bytes b;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return b;
  b.resize(GetFileSize(h, nullptr));
  DWORD got = 0;
  if (!ReadFile(h, b.data(), DWORD(b.size()), &got, nullptr)) got = 0;
  b.resize(got);
  CloseHandle(h);
  return b;
}

// PlayMusic of a file named in GBK: the file is read whole by the call (it
// is deleted at once), then played. Prints what reached the wave-out device
// of the test prefix.
int playFile(const std::string& dir) {
  sndtest::Bytes samples = sndtest::countingSamples(30000, 1);
  const std::string name = dir + "\\提示音.wav";
  if (!writeFile(widen(name), sndtest::riffWave({{"fmt ", sndtest::pcmFormat()}, {"data", samples}})))
    return 1;
  rt::Value args[1] = {fake::text(name.c_str())};
  rt::Value r{};
  core::PlayMusic(&r, 1, args);
  std::printf("play=%d deleted=%d\n", r.i, DeleteFileW(widen(name).c_str()) ? 1 : 0);
  for (int i = 0; i < 1000 && snd::LiveWavePlayerCount() > 0; ++i) Sleep(10);
  const char* out = std::getenv("PAGINET_WAVE_OUT");
  std::wstring device = out ? L"Z:" + widen(out) : L"";
  sndtest::Bytes got;
  for (int i = 0; i < 100 && got.size() < samples.size(); ++i) {
    Sleep(50);   // the device writes its file behind the player
    got = readFile(device);
  }
  std::printf("device-bytes=%u match=%d\n", unsigned(got.size()), got == samples ? 1 : 0);
  return 0;
}

// A MIDI file by name: classified and handed to the MIDI player.
int playMidiFile(const std::string& dir) {
  const std::string name = dir + "\\song.mid";
  if (!writeFile(widen(name), sndtest::midiFile(0, 96, {{0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C,
                                                          0x40, 0x00, 0xFF, 0x2F, 0x00}})))
    return 1;
  rt::Value args[1] = {fake::text(name.c_str())};
  rt::Value r{};
  core::PlayMusic(&r, 1, args);
  std::printf("play=%d\n", r.i);
  snd::StopMidi();
  DeleteFileW(widen(name).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  char path[MAX_PATH];
  std::string exe(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  fake::setDirectories(exe.substr(0, exe.rfind('\\')), "");
  fake::onReport = printLoaded;
  rt::setSoundCalls(&snd::kSoundCalls);  // as the core library hands them down at start
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
  if (mode == "play-file") return playFile(exe.substr(0, exe.rfind('\\')));
  if (mode == "play-midi-file") return playMidiFile(exe.substr(0, exe.rfind('\\')));
  std::printf("unknown mode\n");
  return 2;
}
