// browser_bench [pages]: CaptureViewBitmap + WriteToFile of a 1335 x 800
// view of the recording engine double, as the capture run does per page.
// Prints ms per page and the peak extra memory against the 3 x pixel budget.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "browser/browser_commands.h"
#include "browser/browser_library.h"
#include "browser/engine_loader.h"
#include "runtime/core_commands.h"
#include "harness/browser_host_win.h"

namespace {

const int kWidth = 1335, kHeight = 800;
using host::kWindowId;
using host::kComponentId;
using host::viewArg;

struct Memory {
  SIZE_T privateBytes;
  SIZE_T workingSet;
};

Memory memoryNow() {
  PROCESS_MEMORY_COUNTERS_EX c = {};
  c.cb = sizeof c;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
  // PagefileUsage is the private commit charge, like PrivateUsage, which
  // Wine leaves at 0.
  return {c.PagefileUsage, c.WorkingSetSize};
}

// Polls the counters while the pages are captured: neither counter keeps a
// peak of its own under Wine, and the peak lasts only inside the command.
// The sampler runs before the base is taken, so its own stack is not counted.
enum SamplerState { kWarmingUp, kMeasuring, kDone };
std::atomic<int> gSampler{kWarmingUp};
Memory gPeak = {};   // written by the sampler only while measuring

DWORD WINAPI sampler(void*) {
  while (gSampler != kDone) {
    Memory m = memoryNow();
    if (gSampler != kMeasuring) continue;
    gPeak.privateBytes = std::max(gPeak.privateBytes, m.privateBytes);
    gPeak.workingSet = std::max(gPeak.workingSet, m.workingSet);
  }
  return 0;
}

double ms(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1000.0 * double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// One page: the picture as a byte-set, stored, then freed. False when
// either command failed.
bool capturePage(const std::string& file) {
  rt::Value none{};
  rt::Value capArgs[] = {viewArg(), none, none, none, none};
  rt::Value picture{};
  web::CaptureViewBitmap(&picture, 5, capArgs);
  if (!picture.bin) return false;
  rt::Value name{};
  name.text = file.c_str();
  name.tag = rt::kTagText;
  rt::Value bytes{};
  bytes.bin = picture.bin;
  bytes.tag = rt::kTagBin;
  rt::Value writeArgs[] = {name, bytes};
  rt::Value written{};
  core::WriteToFile(&written, 2, writeArgs);
  HeapFree(GetProcessHeap(), 0, picture.bin);
  return written.i != 0;
}

double mb(double bytes) { return bytes / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
  const int pages = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  host::start();
  wchar_t tmp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"paginet_browser_bench_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  if (!CopyFileW(host::doublePath().c_str(), (dir + L"node.dll").c_str(), FALSE)) {
    std::printf("no engine double beside the benchmark\n");
    return 1;
  }
  host::setRunDirectory(host::toGbk(dir));
  HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 1400, 900,
                                nullptr, nullptr, nullptr, nullptr);
  auto create = reinterpret_cast<rt::CreateComponentFn>(kBrowserLibrary.types[4].iface(rt::kOpCreate));
  rt::LiveObject* view = create(nullptr, 0, 0, parent, 100, nullptr, 0, 0, kWidth, kHeight,
                                kWindowId, kComponentId, nullptr, 0);
  host::takeBoxes();   // the double's two missing exports
  if (!view) {
    std::printf("view not created\n");
    return 1;
  }
  const std::string file = host::toGbk(dir + L"page.bmp");
  // The first call makes the double's drawing surface; it is not the command's.
  if (!capturePage(file)) {
    std::printf("capture failed\n");
    return 1;
  }
  std::vector<double> times;
  for (int i = 0; i < pages; ++i) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    bool ok = capturePage(file);
    QueryPerformanceCounter(&t1);
    if (!ok) {
      std::printf("capture failed on page %d\n", i + 1);
      return 1;
    }
    times.push_back(ms(t0, t1));
  }
  // Memory in a pass of its own: the sampler would slow the timed one.
  HANDLE thread = CreateThread(nullptr, 0, sampler, nullptr, 0, nullptr);
  Sleep(100);
  const Memory base = memoryNow();
  gPeak = base;
  gSampler = kMeasuring;
  for (int i = 0; i < pages; ++i) capturePage(file);
  gSampler = kDone;
  WaitForSingleObject(thread, INFINITE);
  const Memory after = memoryNow();

  WIN32_FILE_ATTRIBUTE_DATA a = {};
  GetFileAttributesExW((dir + L"page.bmp").c_str(), GetFileExInfoStandard, &a);
  DeleteFileW((dir + L"page.bmp").c_str());
  DeleteFileW((dir + L"node.dll").c_str());
  RemoveDirectoryW(dir.c_str());

  std::sort(times.begin(), times.end());
  const double pixels = double(kWidth) * kHeight * 4, budget = 3 * pixels;
  const double peakPrivate = double(gPeak.privateBytes) - double(base.privateBytes);
  const double peakSet = double(gPeak.workingSet) - double(base.workingSet);
  std::printf("CaptureViewBitmap + WriteToFile, %d x %d, %lu-byte file, %d pages\n", kWidth, kHeight,
              a.nFileSizeLow, pages);
  std::printf("ms per page: median %.1f, min %.1f, max %.1f\n", times[times.size() / 2],
              times.front(), times.back());
  std::printf("peak extra private bytes (sampled): %.2f MB (%.2f x pixels)\n", mb(peakPrivate), peakPrivate / pixels);
  std::printf("peak extra working set (sampled): %.2f MB (%.2f x pixels)\n", mb(peakSet), peakSet / pixels);
  std::printf("budget 3 x pixels: %.2f MB; %s\n", mb(budget),
              std::max(peakPrivate, peakSet) <= budget ? "within" : "OVER");
  std::printf("left after %d more pages: %+.2f MB private, %+.2f MB working set\n", pages,
              mb(double(after.privateBytes) - double(base.privateBytes)),
              mb(double(after.workingSet) - double(base.workingSet)));
  return 0;
}
