// What a view's page stores, when the browser is not ours to keep it.
#include "engine/connection_win.h"
#include "engine/view_win.h"

namespace engine {

void View::syncStorage() {
  if (!storageWatched_ && Connection::get().keeper().active() && live()) storageWatched_ = call("DOMStorage.enable").ok;
}

void View::prepareRestore(const std::string& origin) {
  Keeper& k = Connection::get().keeper();
  std::string key = origin + " " + std::to_string(k.version());
  if (!k.active() || key == restoreFor_) return;
  restoreFor_ = key;
  if (!restoreScriptId_.empty())
    call("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", restoreScriptId_}});
  restoreScriptId_.clear();
  std::string script = k.script(origin, binding_);
  if (script.empty()) return;
  Reply r = call("Page.addScriptToEvaluateOnNewDocument", {{"source", script}});
  restoreScriptId_ = stringField(r.result, "identifier");
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
