#include "engine/dialogs.h"

#include <cctype>

namespace engine {

const char kLeavePageText[] = "要离开此网站吗？\n系统可能不会保存您所做的更改。";

DialogKind dialogKind(const std::string& type) {
  if (type == "confirm") return DialogKind::Confirm;
  if (type == "prompt") return DialogKind::Prompt;
  if (type == "beforeunload") return DialogKind::BeforeUnload;
  return DialogKind::Alert;
}

std::string dialogTitle(const std::string& url) {
  const size_t kMax = 80;
  size_t colon = url.find(':');
  bool scheme = colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(url[0]));
  for (size_t i = 0; scheme && i < colon; ++i) {
    char c = url[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') scheme = false;
  }
  if (scheme && url.compare(colon, 3, "://") == 0) {
    size_t end = url.find_first_of("/?#", colon + 3);
    std::string origin = url.substr(0, end);
    // User names and passwords are no part of an origin.
    size_t at = origin.rfind('@');
    if (at != std::string::npos && at > colon) origin.erase(colon + 3, at - colon - 2);
    if (origin.size() > colon + 3) return origin.substr(0, kMax);
  }
  if (url.size() <= kMax) return url;
  // Cut at a character's start, not inside its UTF-8 bytes.
  size_t cut = kMax;
  while (cut > 0 && (static_cast<unsigned char>(url[cut]) & 0xC0) == 0x80) --cut;
  return url.substr(0, cut);
}

}  // namespace engine
