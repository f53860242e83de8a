// Which downloads the application took. The browser writes every download
// into a staging folder under its guid; only a taken one that completed
// moves on to the downloads folder, everything else is deleted there.
#pragma once
#include <set>
#include <string>

namespace engine {

class DownloadLedger {
 public:
  enum class Step { Wait, Keep, Discard };
  // The application's answer for a download that begins. A download never
  // answered (no view was found for it) counts as refused.
  void decided(const std::string& guid, bool taken);
  // What to do with the staged file after a progress report in state
  // ("inProgress", "completed", "canceled"); a finished guid is forgotten.
  // Wait for a guid that could name a file outside the staging folder.
  Step progress(const std::string& guid, const std::string& state);
  void clear() { taken_.clear(); }

 private:
  std::set<std::string> taken_;
};

// A guid as the browser makes them: hex digits and dashes only, so it is
// safe as a file name.
bool isDownloadGuid(const std::string& guid);

}  // namespace engine
