#include "engine/host_win.h"

#include <windows.h>

#include <cstdio>

#include "engine/wide_win.h"

namespace engine {

void engineLog(const std::string& line) {
  std::string s = "[node] " + line + "\n";
  fputs(s.c_str(), stderr);
  fflush(stderr);
  OutputDebugStringA(s.c_str());
}

bool makeFolders(const std::wstring& dir) {
  for (size_t i = 3; i <= dir.size(); ++i)
    if (i == dir.size() || dir[i] == L'\\') CreateDirectoryW(dir.substr(0, i).c_str(), nullptr);
  DWORD a = GetFileAttributesW(dir.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string hostPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix) {
    char* unix = toUnix(path.c_str());
    std::string s = unix ? unix : "";
    if (unix) HeapFree(GetProcessHeap(), 0, unix);
    return s;
  }
  return toUtf8(path.c_str());
}

}  // namespace engine
