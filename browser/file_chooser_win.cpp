#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "browser/browser_view.h"
#include "browser/file_chooser.h"
#include "runtime/gbk.h"

namespace web {
namespace {

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

// Writes the name into the caller's buffer as the dialog would: ended by two
// zeros (a one-file list for multiple selection) where room allows, with
// the offsets of the file part and its extension. False when it is cut.
bool putFileName(OPENFILENAMEW* ofn, const std::wstring& name) {
  if (!ofn->lpstrFile || ofn->nMaxFile == 0) return false;
  size_t room = ofn->nMaxFile;
  size_t n = name.size() < room ? name.size() : room - 1;
  std::memcpy(ofn->lpstrFile, name.data(), n * sizeof(wchar_t));
  ofn->lpstrFile[n] = 0;
  if (n + 1 < room) ofn->lpstrFile[n + 1] = 0;
  size_t slash = name.find_last_of(L"\\/");
  size_t file = slash == std::wstring::npos ? 0 : slash + 1;
  size_t dot = name.rfind(L'.');
  ofn->nFileOffset = WORD(file < n ? file : 0);
  ofn->nFileExtension = WORD(dot != std::wstring::npos && dot >= file && dot + 1 < n ? dot + 1 : 0);
  return n == name.size();
}

BOOL WINAPI openFileHook(OPENFILENAMEW* ofn) {
  if (gTarget && ofn) {
    ViewEvent e(gTarget, kFileChooserOpening);
    e.text(std::string());
    e.raise();
    std::wstring name = rt::gbkToWide(e.pointers[0] ? e.pointers[0] : "");
    bool whole = putFileName(ofn, name);
    // A routine that answered false chose the file itself; with no name, or
    // one the buffer cannot hold, nothing was chosen.
    if (!e.answer()) return whole && !name.empty() ? TRUE : FALSE;
  }
  // The real dialog runs with the entry restored, then the patch goes back.
  writeEntry(gOriginal);
  BOOL result = reinterpret_cast<OpenFileFn>(gEntry)(ofn);
  writeEntry(gPatch);
  return result;
}

}  // namespace

void installFileChooser(View* view) {
  // Once the first target is gone the next component view takes its place.
  if (!gTarget) gTarget = view;
  if (gInstalled) return;
  gInstalled = true;
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
