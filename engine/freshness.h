// Whether a view's surface holds a lossless picture of the page as it is
// now, and when to ask for one ahead, so that a snapshot finds it ready
// instead of waiting for the browser. Times are the caller's milliseconds.
#pragma once
#include <cstdint>
#include <string>

namespace engine {

class Freshness {
 public:
  // The page changed or may have: a script, input, a load, a resize.
  void touched(uint64_t now);
  // A screencast frame: true when it differs from the last one. One the
  // same as the last shows no change; each screenshot brings one about.
  bool frame(const std::string& data, uint64_t now);
  // Whether the surface holds a picture of the page as it is now.
  bool fresh() const { return fresh_; }
  // Whether to ask for a picture ahead now: the surface is not fresh, the
  // page has been quiet a while, and this change has not had many tries.
  // Never before the first frame: without frames, a change the page makes
  // by itself after the picture would go unnoticed.
  bool aheadDue(uint64_t now) const;
  // A picture was asked for.
  void asked();
  // Whether nothing changed since the last picture was asked for.
  bool stillCurrent() const { return askedAt_ == changes_; }
  // The surface now holds a picture taken after the last change.
  void taken() { fresh_ = true; }

  static constexpr uint64_t kQuietMs = 120;
  static constexpr int kTries = 3;

 private:
  void change(uint64_t now);
  uint64_t changes_ = 0;
  uint64_t askedAt_ = UINT64_MAX;  // changes_ when the last picture was asked for
  uint64_t quietSince_ = 0;
  int tries_ = 0;  // pictures asked ahead since the last touch
  bool fresh_ = false;
  bool framesCome_ = false;
  std::string lastFrame_;
};

}  // namespace engine
