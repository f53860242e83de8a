// What a view's page stores, when the browser is not ours to keep it.
#include "engine/connection_win.h"
#include "engine/view_win.h"

namespace engine {

void View::syncStorage() {
  if (!storageWatched_ && Connection::get().keeper().active() && live()) storageWatched_ = call("DOMStorage.enable").ok;
}

// Called while the navigation is paused, when the page answers no command:
// the script is sent before the navigation goes on, and its identifier
// collected later.
void View::prepareRestore(const std::string& origin) {
  Keeper& k = Connection::get().keeper();
  Session* s = Connection::get().session();
  std::string key = origin + " " + std::to_string(k.version());
  if (!s || !live() || !k.active() || key == restoreFor_) return;
  restoreFor_ = key;
  if (!restoreScriptId_.empty()) post("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", restoreScriptId_}});
  restoreScriptId_.clear();
  if (restoreAsked_) restoresToDrop_.push_back(restoreAsked_);
  restoreAsked_ = 0;
  std::string script = k.script(origin, binding_);
  if (!script.empty()) restoreAsked_ = s->request("Page.addScriptToEvaluateOnNewDocument", {{"source", script}}, sessionId_);
}

void View::collectRestores() {
  Session* s = Connection::get().session();
  Reply r;
  if (!s) return;
  if (restoreAsked_ && s->take(restoreAsked_, r)) {
    restoreScriptId_ = stringField(r.result, "identifier");
    restoreAsked_ = 0;
  }
  for (auto it = restoresToDrop_.begin(); it != restoresToDrop_.end();) {
    if (!s->take(*it, r)) {
      ++it;
      continue;
    }
    std::string id = stringField(r.result, "identifier");
    if (!id.empty()) post("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", id}});
    it = restoresToDrop_.erase(it);
  }
}

// Changes come in bursts (a page saving as the user scrolls); they are kept
// a moment later, all at once.
void View::storageChanged(const std::string& origin, const Json& storageId) {
  if (!Connection::get().keeper().active()) return;
  changedStorage_[origin] = storageId;
  if (!storageDue_) storageDue_ = GetTickCount64() + 300;
}

void View::saveStorage() {
  storageDue_ = 0;
  std::map<std::string, Json> changed;
  changed.swap(changedStorage_);
  for (const auto& [origin, id] : changed) {
    Reply r = call("DOMStorage.getDOMStorageItems", {{"storageId", id}});
    if (r.ok) Connection::get().keeper().keepItems(origin, member(r.result, "entries"));
    else engineLog("local storage of " + origin + " not kept: " + r.error);
  }
}

}  // namespace engine
