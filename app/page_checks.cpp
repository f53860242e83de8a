#include "app/page_checks.h"
#include "app/command_frame.h"
#include "app/constants.h"
#include "app/globals.h"
#include "browser/browser_commands.h"

namespace app {

namespace {

// Two looks at the view agree when kLooksApartMs apart; while a page
// settles after its pictures arrived, it is looked at every kSettleMs.
constexpr int32_t kLooksApartMs = 100, kSettleMs = 50;
// After a click the run waits 555 ms, as the reader expects; the first look
// is taken inside that wait, and the second look and the page's state
// after it, inside the page's closing wait when the page has finished. By
// then the engine has usually made its picture of the quiet page, so
// neither look waits for one.
constexpr int32_t kAfterClickMs = 555;
// A page gets this long to finish; while its pictures load it is asked
// every kLoadingPollMs.
constexpr uint32_t kFinishBoundMs = 10000;
constexpr int32_t kLoadingPollMs = 30;
// Clicks on "next" for one page before the paper counts as stuck.
constexpr int32_t kTurnTries = 3;

bool samePicture(const uint8_t* a, const uint8_t* b) {
  return a && b && byteSetSize(a) == byteSetSize(b) &&
         memcmp(byteSetData(a), byteSetData(b), byteSetSize(a)) == 0;
}

void takeLook(void* picture) { *static_cast<uint8_t**>(picture) = snapshot(); }

void clickNext(void* formFillObject) {
  callBrowser(web::ClickElement, formFill(*static_cast<uint32_t*>(formFillObject)),
              intArg(gMainWebViewHandle), intArg(2), textArg(kPageTurnSelector), intArg(1));
}

// Clicks "next" and waits after it, with both looks and the page's state
// taken.
bool clickAndLook(uint32_t formFillObject, Looks* looks) {
  if (!wait(kAfterClickMs - kLooksApartMs, clickNext, &formFillObject)) return false;
  if (!wait(kLooksApartMs, takeLook, &looks->before)) return false;
  looks->nowAt = ticks();
  looks->now = snapshot();
  looks->state = pageState();
  return true;
}

// The turn happened when the document or the view changed.
bool turned(const PageState& before, const Looks& looks, const uint8_t* previous) {
  return strcmp(before.signature(), looks.state.signature()) != 0 ||
         !samePicture(looks.now, previous);
}

}  // namespace

PageState pageState() {
  char* text = ownedText(callBrowser(web::RunPageScript, gMainBrowser, textArg(kPageStateScript)));
  return {text, callBrowser(web::IsPageLoading, gMainBrowser).i != 0};
}

void Looks::clear() {
  release(state.text);
  release(before);
  release(now);
  *this = Looks{};
}

void Looks::look() {
  release(before);
  before = now;
  nowAt = ticks();
  now = snapshot();
}

void Looks::clearLooks() {
  release(before);
  release(now);
  before = nullptr;
  now = nullptr;
}

void Looks::askState() {
  release(state.text);
  state = pageState();
}

Step turnPage(Run* run, const PageState& before, Looks* looks) {
  for (int32_t click = 1;; ++click) {
    if (!clickAndLook(run->formFill, looks)) return Step::kWindowClosed;
    if (turned(before, *looks, run->previous)) return Step::kGoOn;
    if (click == kTurnTries) return Step::kStuck;
    if (!wait(1111)) return Step::kWindowClosed;
    looks->look();
    looks->askState();
    if (turned(before, *looks, run->previous)) return Step::kGoOn;
    looks->clear();
  }
}

// Only the page is asked while its pictures load: asking makes the engine
// take a new picture for the next look. A view that gives no picture has
// nothing to wait for: saving it fails.
bool settle(Looks* looks, bool* closed) {
  const uint32_t start = ticks();
  while (looks->state.loading() || !samePicture(looks->before, looks->now)) {
    if (ticks() - start >= kFinishBoundMs) {
      if (!looks->now) looks->look();   // saved as it stands
      return false;
    }
    if (looks->state.loading()) {
      if (!wait(kLoadingPollMs)) {
        *closed = true;
        return false;
      }
      looks->askState();
      // The looks so far show it loading: the next two are taken after.
      if (!looks->state.loading()) looks->clearLooks();
      continue;
    }
    // Looks are kSettleMs apart from the start of one to the start of the
    // next; one that took that long already is followed at once.
    const uint32_t since = ticks() - looks->nowAt;
    if (looks->now && since < uint32_t(kSettleMs) && !wait(kSettleMs - since)) {
      *closed = true;
      return false;
    }
    looks->look();
    if (!looks->now) return true;
  }
  return true;
}

}  // namespace app
