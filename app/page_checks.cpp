#include "app/page_checks.h"
#include <algorithm>
#include "app/command_frame.h"
#include "app/constants.h"
#include "app/globals.h"
#include "browser/browser_commands.h"

namespace app {

namespace {

// After a click the run waits 555 ms, as the reader expects.
constexpr int32_t kAfterClickMs = 555;
// While a page's pictures load it is asked every kLoadingPollMs. Then the
// engine's picture of the view is asked for every kPicturePollMs, within
// the page's bound but for at least kPictureLeastMs: a view that keeps
// changing has none to give.
constexpr uint32_t kPictureLeastMs = 2000;
constexpr int32_t kLoadingPollMs = 30, kPicturePollMs = 10;
// Clicks on "next" for one page before the paper counts as stuck, and the
// wait before a turn that showed nothing is looked at again.
constexpr int32_t kTurnTries = 3, kLookAgainMs = 1111;

bool samePicture(const uint8_t* a, const uint8_t* b) {
  return a && b && byteSetSize(a) == byteSetSize(b) &&
         memcmp(byteSetData(a), byteSetData(b), byteSetSize(a)) == 0;
}

void clickNext(void* formFillObject) {
  callBrowser(web::ClickElement, formFill(*static_cast<uint32_t*>(formFillObject)),
              intArg(gMainWebViewHandle), intArg(2), textArg(kPageTurnSelector), intArg(1));
}

void askState(Look* look) {
  release(look->state.text);
  look->state = pageState();
}

bool engineLoading() { return callBrowser(web::IsPageLoading, gMainBrowser).i != 0; }

// Waits until the page has finished, then takes its picture: no picture in
// view still loading, then the engine's picture of the view. At first only
// the engine is asked, which knows the page's requests without a round trip
// to the browser; the page itself is asked while it loads (a script makes
// the engine's picture stale) and after the picture, which is taken again
// when it shows pictures still loading. A page not finished within the
// bound counted from start is taken as it stands: the bound is the page's,
// however many looks its turn takes.
bool lookAtPage(Look* look, uint32_t start) {
  look->state.requests = engineLoading();
  for (;;) {
    while (look->state.loading() && ticks() - start < kFinishBoundMs) {
      if (!wait(kLoadingPollMs)) return false;
      askState(look);
    }
    look->takenAt = ticks();
    const uint32_t left = kFinishBoundMs - std::min(kFinishBoundMs, look->takenAt - start);
    bool ready = false;
    if (!look->state.loading() && !waitForPicture(std::max(left, kPictureLeastMs), &ready))
      return false;
    look->finished = ready;
    look->picture = snapshot();
    askState(look);
    if (!ready) return true;
    if (!look->state.loading() || ticks() - start >= kFinishBoundMs) {
      look->finished = !look->state.loading();
      return true;
    }
    release(look->picture);
    look->picture = nullptr;
  }
}

// The turn happened when the document or the view changed.
bool turned(const PageState& before, const Look& look, const uint8_t* previous) {
  return strcmp(before.signature(), look.state.signature()) != 0 ||
         !samePicture(look.picture, previous);
}

}  // namespace

PageState pageState() {
  char* text = ownedText(callBrowser(web::RunPageScript, gMainBrowser, textArg(kPageStateScript)));
  return {text, engineLoading()};
}

void Look::clear() {
  release(state.text);
  release(picture);
  *this = Look{};
}

bool waitForPicture(uint32_t boundMs, bool* ready) {
  const uint32_t start = ticks();
  while (!(*ready = callBrowser(web::IsViewPictureReady, gMainBrowser).i != 0)) {
    if (ticks() - start >= boundMs) return true;
    if (!wait(kPicturePollMs)) return false;
  }
  return true;
}

Step turnPage(Run* run, const PageState& before, Look* look) {
  const uint32_t start = ticks();
  for (int32_t click = 1;; ++click) {
    if (!wait(kAfterClickMs, clickNext, &run->formFill) || !lookAtPage(look, start))
      return Step::kWindowClosed;
    if (turned(before, *look, run->previous)) return Step::kGoOn;
    if (click == kTurnTries) return Step::kStuck;
    look->clear();
    if (!wait(kLookAgainMs) || !lookAtPage(look, start)) return Step::kWindowClosed;
    if (turned(before, *look, run->previous)) return Step::kGoOn;
    look->clear();
  }
}

}  // namespace app
