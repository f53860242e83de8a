// Script texts the browser commands run inside the page. The literal pieces
// are part of the program's observable behaviour; keep them byte-exact.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace web {

// Counts the frames at all depths: 0 without frames, else 1 + their number.
extern const char kCountFramesScript[];

// Expression addressing one element; `prefix` is the frame prefix.
std::string elementExpression(std::string_view prefix, int kind, std::string_view selector,
                              int match);

std::string outerHtmlScript(std::string_view expression);
std::string clickScript(std::string_view expression);
std::string visibleScript(std::string_view expression, bool visible);

// Runs a script and returns its value as an integer.
using IntScript = std::function<int(const std::string& script)>;

struct FramePrefix {
  std::string prefix;
  int left = 0;
  int top = 0;
};

// The prefix reaching frame `frame` of `count` frames; empty when the
// number, clipped to the count, is below 2.
FramePrefix buildFramePrefix(int frame, int count, const IntScript& run);

}  // namespace web
