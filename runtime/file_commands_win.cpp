// Commands that touch files: WriteToFile and PlayMusic.
#include <windows.h>
#include <string>
#include "runtime/core_commands.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/sound_calls.h"

namespace core {

namespace {

struct FileHandle {
  HANDLE h;
  ~FileHandle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

bool writeAll(HANDLE h, const uint8_t* data, uint32_t size) {
  while (size > 0) {
    DWORD done = 0;
    if (!WriteFile(h, data, size, &done, nullptr) || done == 0) return false;
    data += done;
    size -= done;
  }
  return true;
}

// The whole file in a heap block, or null when it cannot be read or is empty.
uint8_t* readWholeFile(std::string_view name, uint32_t* size) {
  FileHandle f{CreateFileW(rt::gbkToWide(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  LARGE_INTEGER length;
  if (f.h == INVALID_HANDLE_VALUE || !GetFileSizeEx(f.h, &length) || length.QuadPart <= 0 ||
      length.QuadPart >= 0x7FFFFFFF)
    return nullptr;
  auto* data = static_cast<uint8_t*>(rt::allocRaw(uint32_t(length.QuadPart)));
  if (!data) return nullptr;
  DWORD got = 0;
  if (!ReadFile(f.h, data, DWORD(length.QuadPart), &got, nullptr) || got != length.QuadPart) {
    rt::freeMemory(data);
    return nullptr;
  }
  *size = got;
  return data;
}

}  // namespace

// Only byte-set arguments contribute bytes: reading the data word of any
// other type as a byte-set pointer would touch arbitrary memory. The bytes
// go to a temporary name beside the file, which then replaces it, so the
// file is never seen half-written and a failed write leaves the old one.
void RT_CALL WriteToFile(rt::Value* result, int32_t argc, rt::Value* args) {
  std::string_view name;
  if (!textArg(argc, args, 0, &name) || name.empty()) return;
  const std::wstring target = rt::gbkToWide(name);
  const std::wstring partial = target + L".part";
  HANDLE h = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  bool ok = true;
  for (int32_t i = 1; i < argc && ok; ++i) {
    if (args[i].tag != rt::kTagBin) continue;
    ok = writeAll(h, rt::byteSetData(args[i].bin), rt::byteSetSize(args[i].bin));
  }
  // On disk before the name says the file is there: a power cut after the
  // rename must not leave an empty file.
  ok = ok && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  ok = ok && MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
  if (!ok) DeleteFileW(partial.c_str());
  result->i = ok ? 1 : 0;
}

void RT_CALL PlayMusic(rt::Value* result, int32_t argc, rt::Value* args) {
  const rt::Value* v = argAt(argc, args, 0);
  int32_t loop;
  if (!v || !intArg(argc, args, 1, 0, &loop)) return;
  uint8_t* owned = nullptr;
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  if (v->tag == rt::kTagText && !rt::textOf(v->text).empty()) {
    data = owned = readWholeFile(rt::textOf(v->text), &size);
  } else if (v->tag == rt::kTagBin) {
    data = rt::byteSetData(v->bin);
    size = rt::byteSetSize(v->bin);
  }
  if (data && size > 0) result->i = rt::playSound(data, size, loop != 0 ? 1 : 0) ? 1 : 0;
  rt::freeMemory(owned);
}

}  // namespace core
