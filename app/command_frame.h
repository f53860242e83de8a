// The application's side of the command-call frame: typed arguments,
// command calls and property access, all through the runtime service table.
#pragma once
#include <cstdint>
#include <initializer_list>
#include "runtime/abi.h"
#include "runtime/value_blocks.h"

namespace app {

// Set by AppStart before anything else runs.
extern const rt::ServiceTable* gServices;

// A text argument is never null: the empty text travels as "".
extern const char kEmptyText[];

inline rt::Value omitted() { return rt::Value{{.l = 0}, rt::kTagNone}; }
inline rt::Value intArg(int32_t i) {
  rt::Value v{{.l = 0}, rt::kTagInt};
  v.i = i;
  return v;
}
inline rt::Value longArg(int64_t l) { return rt::Value{{.l = l}, rt::kTagLong}; }
inline rt::Value boolArg(bool b) { return rt::Value{{.l = b ? 1 : 0}, rt::kTagBool}; }
inline rt::Value textArg(const char* t) {
  rt::Value v{{.l = 0}, rt::kTagText};
  v.text = t ? t : kEmptyText;
  return v;
}
inline rt::Value binArg(uint8_t* b) {
  rt::Value v{{.l = 0}, rt::kTagBin};
  v.bin = b;
  return v;
}
// A component value: window id low, component id high.
inline rt::Value componentArg(uint32_t type, uint32_t windowId, uint32_t componentId) {
  rt::Value v{{.l = 0}, type};
  v.w[0] = windowId;
  v.w[1] = componentId;
  return v;
}

template <class... A>
rt::Value callCore(rt::CommandFn fn, A... a) {
  rt::Value args[sizeof...(a) + 1] = {a...};
  return gServices->callCoreCommand(fn, int32_t(sizeof...(a)), args);
}
// Library commands of the browser library (library index 1).
template <class... A>
rt::Value callBrowser(rt::CommandFn fn, A... a) {
  rt::Value args[sizeof...(a) + 1] = {a...};
  return gServices->callLibraryCommand(1, fn, int32_t(sizeof...(a)), args);
}

// A text result, which the caller owns.
inline char* ownedText(const rt::Value& v) { return const_cast<char*>(v.text); }
inline void release(void* p) { gServices->freeMemory(p); }

using rt::byteSetData;
using rt::byteSetSize;

// Concatenation: a new text of the summed length, null when that is 0.
char* concatText(std::initializer_list<const char*> parts);

inline int32_t readInt(uint32_t windowId, uint32_t componentId, int32_t property) {
  return int32_t(gServices->readComponentProperty(windowId, componentId, property, -1));
}
// A new text owned by the caller (null = empty).
inline char* readText(uint32_t windowId, uint32_t componentId, int32_t property) {
  return reinterpret_cast<char*>(uintptr_t(
      uint32_t(gServices->readComponentProperty(windowId, componentId, property, -1))));
}
inline void writeInt(uint32_t windowId, uint32_t componentId, int32_t property, int32_t v) {
  gServices->writeComponentProperty(windowId, componentId, property, -1, uint32_t(v), 0);
}
inline void writeText(uint32_t windowId, uint32_t componentId, int32_t property, const char* t) {
  gServices->writeComponentProperty(windowId, componentId, property, -1,
                                    uint32_t(uintptr_t(t)), 0);
}

}  // namespace app
