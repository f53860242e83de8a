#include <set>
#include <vector>

#include "browser/browser_view.h"

namespace web {
namespace {

struct Entry {
  uint32_t windowId;
  uint32_t componentId;
  rt::LiveObject* handle;
  View* view;
};

std::vector<Entry>& entries() {
  static std::vector<Entry> table = [] {
    std::vector<Entry> t;
    t.reserve(100);
    return t;
  }();
  return table;
}

std::set<const View*>& live() {
  static std::set<const View*> views;
  return views;
}

}  // namespace

View* newView() {
  View* v = new View();
  live().insert(v);
  return v;
}

void releaseView(View* view) {
  live().erase(view);
  delete view;
}

View* liveView(void* candidate) {
  auto* v = static_cast<View*>(candidate);
  return v && live().count(v) ? v : nullptr;
}

View* registerView(uint32_t windowId, uint32_t componentId, View* view) {
  for (Entry& e : entries())
    if (e.windowId == windowId && e.componentId == componentId) {
      View* previous = e.view;
      e.handle = &view->live;
      e.view = view;
      return previous;
    }
  entries().push_back({windowId, componentId, &view->live, view});
  return nullptr;
}

View* findRegistered(uint32_t windowId, uint32_t componentId) {
  for (const Entry& e : entries())
    if (e.windowId == windowId && e.componentId == componentId) return e.view;
  return nullptr;
}

View* viewOfHandle(const rt::LiveObject* handle) {
  if (!handle) return nullptr;
  for (const Entry& e : entries())
    if (e.handle == handle) return e.view;
  return nullptr;
}

// The entry stays, so a re-created component keeps its place.
void unregisterView(View* view) {
  for (Entry& e : entries())
    if (e.view == view) {
      e.view = nullptr;
      e.handle = nullptr;
    }
}

View* FindView(const rt::Value& arg, void** engineWindow) {
  View* view = nullptr;
  if (arg.w[1] == 0) {
    // A variable holding a view object; only registered ones are accepted.
    auto* var = reinterpret_cast<View* const*>(uintptr_t(arg.w[0]));
    if (var) view = viewOfHandle(reinterpret_cast<rt::LiveObject*>(*var));
  } else {
    view = findRegistered(arg.w[0], arg.w[1]);
  }
  if (engineWindow) *engineWindow = view ? view->hwnd : nullptr;
  return view;
}

}  // namespace web
