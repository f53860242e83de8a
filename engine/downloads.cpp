#include "engine/downloads.h"

namespace engine {

bool isDownloadGuid(const std::string& guid) {
  if (guid.empty() || guid.size() > 64) return false;
  for (char c : guid)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '-')) return false;
  return true;
}

void DownloadLedger::decided(const std::string& guid, bool taken) {
  if (taken && isDownloadGuid(guid)) taken_.insert(guid);
  else taken_.erase(guid);
}

DownloadLedger::Step DownloadLedger::progress(const std::string& guid, const std::string& state) {
  if (!isDownloadGuid(guid) || (state != "completed" && state != "canceled")) return Step::Wait;
  bool taken = taken_.erase(guid) > 0;
  return taken && state == "completed" ? Step::Keep : Step::Discard;
}

}  // namespace engine
