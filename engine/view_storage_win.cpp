// What a view's page stores, when the browser is not ours to keep it.
#include "engine/connection_win.h"
#include "engine/view_win.h"

namespace engine {

void View::syncStorage() {
  Keeper& k = Connection::get().keeper();
  if (!k.active() || !live()) return;
  if (!storageWatched_) storageWatched_ = call("DOMStorage.enable").ok;
  if (restoreVersion_ == k.version()) return;
  restoreVersion_ = k.version();
  if (!restoreScriptId_.empty())
    call("Page.removeScriptToEvaluateOnNewDocument", {{"identifier", restoreScriptId_}});
  restoreScriptId_.clear();
  std::string script = k.script();
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
