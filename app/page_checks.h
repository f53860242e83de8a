// Whether a page turned and whether it has finished: the page's own state
// (its pictures and its document) and looks at the view a moment apart.
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

// Two looks at the page in hand: the page's state with the view after it
// (`now`), and the view a moment before (`before`, may be null).
struct Looks {
  PageState state{nullptr, false};
  uint8_t* before = nullptr;
  uint8_t* now = nullptr;
  uint32_t nowAt = 0;   // tick when `now` was taken: the page's picture, if saved
  void clear();
  // Looks at the view again: the last look becomes the one before.
  void look();
  void clearLooks();
  void askState();
};

// Turns the page: clicks "next", and when neither the document nor the view
// moved, waits, looks again and only then clicks again, so a turn that was
// merely slow is never clicked twice. kStuck after a bounded number of clicks.
Step turnPage(Run* run, const PageState& before, Looks* looks);

// Waits until the page has finished: no picture in view still loading and
// then two looks agreeing, both taken after the last picture arrived. False
// when the bound passed first (*closed when the window went meanwhile).
bool settle(Looks* looks, bool* closed);

}  // namespace app
