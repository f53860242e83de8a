// A stand-in for the runtime services the commands use, so their tests
// build without the rest of the runtime.
#pragma once
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>
#include "runtime/abi.h"
#include "runtime/runtime.h"

namespace fake {

void setDirectories(std::string run, std::string module);
// Called by reportError before it prints the report and exits with -1.
extern void (*onReport)();
extern int processEventsCalls;
// Live blocks from allocMemory/allocRaw not yet freed.
extern int liveBlocks;
// Requests above this many bytes fail, as an exhausted heap would.
extern uint32_t allocLimit;

// Typed arguments as compiled code passes them.
inline rt::Value text(const char* s) { rt::Value v{}; v.text = s; v.tag = rt::kTagText; return v; }
inline rt::Value integer(int32_t i) { rt::Value v{}; v.i = i; v.tag = rt::kTagInt; return v; }
inline rt::Value logical(bool b) { rt::Value v{}; v.i = b; v.tag = rt::kTagBool; return v; }
inline rt::Value real(double d) { rt::Value v{}; v.d = d; v.tag = rt::kTagDouble; return v; }
inline rt::Value omitted() { return rt::Value{}; }
inline rt::Value bytes(const uint8_t* block) { rt::Value v{}; v.bin = const_cast<uint8_t*>(block); v.tag = rt::kTagBin; return v; }

// Calls a command the way CallCoreCommand does: zeroed result record.
inline rt::Value call(rt::CommandFn fn, std::initializer_list<rt::Value> args) {
  std::vector<rt::Value> a(args);
  rt::Value r{};
  fn(&r, int32_t(a.size()), a.data());
  return r;
}

// A text result as a string (releasing it); "<null>" distinguishes null.
inline std::string takeText(rt::Value r) {
  if (!r.text) return "<null>";
  std::string s(r.text);
  rt::freeMemory(const_cast<char*>(r.text));
  return s;
}
inline std::vector<uint8_t> takeBytes(rt::Value r) {
  std::vector<uint8_t> out(rt::byteSetData(r.bin), rt::byteSetData(r.bin) + rt::byteSetSize(r.bin));
  rt::freeMemory(r.bin);
  return out;
}

}  // namespace fake
