#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "browser/browser_view.h"
#include "browser/file_chooser.h"
#include "runtime/gbk.h"

namespace web {
namespace {

constexpr int32_t kFileChooserOpening = 32;
constexpr size_t kPatchSize = 5;   // jmp rel32

using OpenFileFn = BOOL(WINAPI*)(OPENFILENAMEW*);

View* gTarget;
bool gInstalled;
uint8_t* gEntry;                   // GetOpenFileNameW's first bytes
uint8_t gOriginal[kPatchSize];
uint8_t gPatch[kPatchSize];

void writeEntry(const uint8_t* bytes) {
  DWORD old = 0;
  if (!VirtualProtect(gEntry, kPatchSize, PAGE_EXECUTE_READWRITE, &old)) return;
  std::memcpy(gEntry, bytes, kPatchSize);
  VirtualProtect(gEntry, kPatchSize, old, &old);
  FlushInstructionCache(GetCurrentProcess(), gEntry, kPatchSize);
}

BOOL WINAPI openFileHook(OPENFILENAMEW* ofn) {
  bool chosen = false;
  if (gTarget && ofn) {
    ViewEvent e(gTarget, kFileChooserOpening);
    e.text(std::string());
    e.raise();
    std::wstring name = rt::gbkToWide(e.pointers[0] ? e.pointers[0] : "");
    if (ofn->lpstrFile && ofn->nMaxFile > 0) {
      // Keep the terminator inside the caller's buffer.
      size_t n = name.size() < ofn->nMaxFile ? name.size() : ofn->nMaxFile - 1;
      std::memcpy(ofn->lpstrFile, name.data(), n * sizeof(wchar_t));
      ofn->lpstrFile[n] = 0;
    }
    chosen = !e.answer();
  }
  if (chosen) return TRUE;
  // The real dialog runs with the entry restored, then the patch goes back.
  writeEntry(gOriginal);
  BOOL result = reinterpret_cast<OpenFileFn>(gEntry)(ofn);
  writeEntry(gPatch);
  return result;
}

}  // namespace

void installFileChooser(View* view) {
  if (gInstalled) return;
  gInstalled = true;
  gTarget = view;
  HMODULE dialogs = LoadLibraryW(L"comdlg32.dll");
  gEntry = dialogs ? reinterpret_cast<uint8_t*>(GetProcAddress(dialogs, "GetOpenFileNameW"))
                   : nullptr;
  if (!gEntry) return;
  std::memcpy(gOriginal, gEntry, kPatchSize);
  int32_t rel = int32_t(reinterpret_cast<uintptr_t>(&openFileHook) -
                        (reinterpret_cast<uintptr_t>(gEntry) + kPatchSize));
  gPatch[0] = 0xE9;
  std::memcpy(gPatch + 1, &rel, sizeof rel);
  writeEntry(gPatch);
}

void forgetFileChooserView(View* view) {
  if (gTarget == view) gTarget = nullptr;
}

}  // namespace web
