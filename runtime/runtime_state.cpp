#include "runtime/runtime_state.h"
#include "runtime/runtime.h"

namespace rt {

RuntimeState& state() {
  static RuntimeState s;
  return s;
}

void lowerSuppression() {
  std::atomic<int32_t>& c = state().suppress;
  int32_t v = c.load();
  while (v > 0 && !c.compare_exchange_weak(v, v - 1)) {
  }
}

const std::string& runDirectory() { return state().runDir; }
const std::string& moduleDirectory() { return state().moduleDir; }

LoadedWindow* findWindow(uint32_t windowId) {
  if (!wellFormedId(windowId)) return nullptr;
  for (auto& w : state().windows)
    if (w.id == windowId) return &w;
  return nullptr;
}

ComponentRecord* findRecord(LoadedWindow* w, uint32_t componentId) {
  if (!w || w->desc.records.empty()) return nullptr;
  if (componentId == 0) return &w->desc.records[0];
  if (!wellFormedId(componentId)) return nullptr;
  for (auto& r : w->desc.records)
    if (r.id == componentId) return &r;
  return nullptr;
}

const TypeRecord* findType(uint32_t typeCode) {
  uint32_t lib = typeCode >> 16, type = typeCode & 0xFFFF;
  const auto& libs = state().libraries;
  if (lib < 1 || lib > libs.size() || type < 1) return nullptr;
  const LibraryRecord* rec = libs[lib - 1].record;
  if (!rec || type > uint32_t(rec->typeCount) || !rec->types) return nullptr;
  return &rec->types[type - 1];
}

bool loadWindowTable(const uint8_t* data, size_t size, uintptr_t codeBase) {
  FormDescription form;
  if (!readFormDescription(data, size, &form)) return false;
  resolveRoutines(&form, codeBase);
  auto& windows = state().windows;
  windows.clear();
  for (auto& fw : form.windows) {
    LoadedWindow w;
    w.id = fw.id;
    w.desc = std::move(fw.desc);
    windows.push_back(std::move(w));
  }
  return true;
}

}  // namespace rt
