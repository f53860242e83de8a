#include "engine/freshness.h"

namespace engine {

void Freshness::change(uint64_t now) {
  ++changes_;
  fresh_ = false;
  quietSince_ = now;
}

void Freshness::touched(uint64_t now) {
  change(now);
  tries_ = 0;
}

// A page that keeps drawing differing frames gets no new tries from them:
// the snapshot then asks for its own picture.
bool Freshness::frame(const std::string& data, uint64_t now) {
  framesCome_ = true;
  if (data == lastFrame_) return false;
  lastFrame_ = data;
  change(now);
  return true;
}

bool Freshness::aheadDue(uint64_t now) const {
  return framesCome_ && !fresh_ && tries_ < kTries && now - quietSince_ >= kQuietMs;
}

void Freshness::asked() {
  askedAt_ = changes_;
  ++tries_;
}

}  // namespace engine
