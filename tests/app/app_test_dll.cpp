// Stands in for CreateDirectoryW in the system routine tests: it records
// each path it is asked for, in order, and creates nothing.
#include <cstdint>
#include <cwchar>
#include <string>

namespace {
std::wstring gCalls;  // paths, each followed by "|"
}

extern "C" {
__attribute__((stdcall)) int32_t RecordCreateDirectory(const wchar_t* path, void*) {
  gCalls += path ? path : L"(null)";
  gCalls += L'|';
  return 0;
}

// Copies the recorded paths into out (size units, terminator included) and
// forgets them.
__attribute__((stdcall)) void TakeRecordedDirectories(wchar_t* out, int32_t size) {
  if (size <= 0) return;
  std::wcsncpy(out, gCalls.c_str(), size_t(size) - 1);
  out[size - 1] = 0;
  gCalls.clear();
}
}
