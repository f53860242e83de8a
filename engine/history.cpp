#include "engine/history.h"

namespace engine {

NavHistory NavHistory::read(const nlohmann::json& r) {
  NavHistory h;
  auto entries = r.find("entries");
  auto index = r.find("currentIndex");
  if (!r.is_object() || entries == r.end() || !entries->is_array() || index == r.end() ||
      !index->is_number_integer())
    return h;
  for (const auto& e : *entries) {
    auto id = e.find("id");
    if (id == e.end() || !id->is_number_integer()) return NavHistory();
    h.ids.push_back(id->get<int>());
  }
  int64_t i = index->get<int64_t>();
  if (i < 0 || i >= static_cast<int64_t>(h.ids.size())) return NavHistory();
  h.current = static_cast<int>(i);
  return h;
}

int NavHistory::idOfIndex(int64_t index) const {
  if (current < 0 || index < 0 || index >= static_cast<int64_t>(ids.size())) return 0;
  return ids[static_cast<size_t>(index)];
}

}  // namespace engine
