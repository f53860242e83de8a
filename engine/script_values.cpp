#include "engine/script_values.h"

namespace engine {

int64_t ValueStore::put(ScriptValue v) {
  int64_t h = next_++;
  Slot& s = slots_[static_cast<size_t>(h % static_cast<int64_t>(slots_.size()))];
  s.handle = h;
  s.value = std::move(v);
  return h;
}

const ScriptValue* ValueStore::get(int64_t handle) const {
  if (handle <= 0) return nullptr;
  const Slot& s = slots_[static_cast<size_t>(handle % static_cast<int64_t>(slots_.size()))];
  return s.handle == handle ? &s.value : nullptr;
}

}  // namespace engine
