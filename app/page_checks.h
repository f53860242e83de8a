// Whether a page turned and whether it has finished: the page's own state
// (its pictures and its document) and the engine's picture of the view,
// which it gives only once the view has not changed while it was taken.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "app/capture_steps.h"

namespace app {

// What the page says of itself: its pictures in view still loading, and
// a signature of its document (owned text; empty when the script failed);
// and whether the engine still loads anything for it: a picture of no
// size, or not in view, that has not come keeps the page unfinished too.
struct PageState {
  char* text;
  bool requests;
  bool loading() const { return requests || (text && atoi(text) > 0); }
  const char* signature() const {
    const char* space = text ? strchr(text, ' ') : nullptr;
    return space ? space + 1 : "";
  }
};

PageState pageState();

// The page in hand after a turn: its state, and its picture once finished.
struct Look {
  PageState state{nullptr, false};
  uint8_t* picture = nullptr;
  uint32_t takenAt = 0;   // tick when the picture was asked for
  bool finished = false;  // the picture was taken of the finished page
  void clear();
};

// How long a page gets to finish, counted from its first click on "next"
// however many looks its turn takes.
constexpr uint32_t kFinishBoundMs = 10000;

// Waits, up to boundMs, until the engine holds a picture of the view as it
// is now, so that a snapshot does not keep the window waiting; *ready tells
// whether it came. False when the window went meanwhile.
bool waitForPicture(uint32_t boundMs, bool* ready);

// Turns the page: clicks "next", and when neither the document nor the view
// moved, waits, looks again and only then clicks again, so a turn that was
// merely slow is never clicked twice. kStuck after a bounded number of clicks.
Step turnPage(Run* run, const PageState& before, Look* look);

}  // namespace app
