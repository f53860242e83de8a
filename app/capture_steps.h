// What every step of the capture run shares: the run's state across pages,
// how a step ends, and the waits, looks and boxes each step is made of.
#pragma once
#include <cstdint>
#include <initializer_list>
#include "runtime/abi.h"

namespace app {

struct PaperPdf;

enum class Step { kGoOn, kStopped, kStuck, kWindowClosed };

// The run's state across pages.
struct Run {
  uint32_t formFill;
  const char* folder;
  PaperPdf* pdf;
  char* caption;        // the window's own caption, restored at the end
  int32_t pictures;     // the pictures the run is to take
  uint8_t* previous;    // the view before this page's turn: the last picture saved
  char* unfinished;     // "3.bmp、5.bmp": pictures saved before their page finished
  int32_t stuckAt;      // the picture whose page did not turn; 0 when none
};

// The run's form-fill object as a command argument.
rt::Value formFill(uint32_t record);

// Closing the window during a wait destroys every component the run goes
// on to use, and touching one then is a run-time error. The view's handle
// is the one thing that can be asked: it is 0 once the view is gone.
bool windowStands();

// Delay, then whether the run may go on. work, when given, is the step
// the wait follows: it runs at the wait's start, and its time comes out of
// the wait, which still lasts ms from the step.
bool wait(int64_t ms, void (*work)(void*) = nullptr, void* context = nullptr);

// Lets the window handle what came meanwhile, between steps that together
// would keep it from answering too long; false when it was closed.
bool answerWindow();

// A box telling why the run stops; false when the window went meanwhile.
bool tellFailure(std::initializer_list<const char*> parts);

uint32_t ticks();

// The view as the page's picture: a BMP byte-set owned by the caller, or
// null when the view gives none.
uint8_t* snapshot();

}  // namespace app
