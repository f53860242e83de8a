// Script values handed out as 64-bit handles. 0 is the neutral value.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

struct ScriptValue {
  std::string text;  // UTF-8
  int32_t number = 0;
};

// Keeps the newest `capacity` values; an older handle reads as neutral.
class ValueStore {
 public:
  explicit ValueStore(size_t capacity = 1024) : slots_(capacity) {}
  int64_t put(ScriptValue v);
  // nullptr for 0, unknown or evicted handles.
  const ScriptValue* get(int64_t handle) const;

 private:
  struct Slot { int64_t handle = 0; ScriptValue value; };
  std::vector<Slot> slots_;
  int64_t next_ = 1;
};

}  // namespace engine
