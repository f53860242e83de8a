// A view's pictures: screenshots taken or asked ahead, decoded frames
// shown, and the surface brought up to date when it is asked for.
#include "engine/view_win.h"

#include "engine/base64.h"
#include "engine/connection_win.h"
#include "engine/message.h"

namespace engine {

// Registered: the program's runtime sends private messages of its own to
// every window.
UINT pictureMessage() {
  static const UINT m = RegisterWindowMessageW(L"PaginetEnginePicture");
  return m;
}

// A frame like the last one changes nothing on screen or in the page.
void View::onFrame(std::string data) {
  if (picture_.frame(data, GetTickCount64())) pendingFrame_ = std::move(data);
}

bool View::loadPicture(const Reply& r) {
  std::string png, reason;
  auto data = r.result.find("data");
  std::string_view text = r.ok && data != r.result.end() && data->is_string()
                              ? std::string_view(data->get_ref<const std::string&>())
                              : std::string_view();
  if (!r.ok || !base64Decode(text, png) || !dib_.load(png, reason)) {
    engineLog("capture failed: " + (r.ok ? reason : r.error));
    return false;
  }
  shown_ = ++pictures_;  // pictures still decoding show older pages
  // A differing frame told during the call may show a later page.
  if (picture_.stillCurrent()) {
    picture_.taken();
    pendingFrame_.clear();
  }
  return true;
}

bool View::captureNow() {
  forgetAhead();
  picture_.asked();
  return loadPicture(call("Page.captureScreenshot", screenshotParams(), 8000));
}

// Not while a picture taken since the last change is still decoding: it
// will make the surface fresh, and another would only keep the browser busy.
void View::askAhead() {
  Session* s = Connection::get().session();
  if (!s || !live() || (lossless_ && picture_.stillCurrent())) return;
  aheadId_ = s->request("Page.captureScreenshot", screenshotParams(), sessionId_);
  if (aheadId_) picture_.asked();
}

bool View::aheadArrived() {
  Session* s = Connection::get().session();
  Reply r;
  if (!aheadId_ || !s || !s->take(aheadId_, r)) return false;
  aheadId_ = 0;
  auto data = r.result.find("data");
  if (!picture_.stillCurrent() || !r.ok || data == r.result.end() || !data->is_string()) return false;
  lossless_ = ++pictures_;
  decoder_->submit(std::move(data->get_ref<std::string&>()), lossless_);
  return true;
}

void View::pictureDecoded() {
  Pixels p;
  Area changed;
  if (!decoder_->take(p) || p.number <= shown_) return;
  // The picture asked ahead came, or never will: it could not be decoded,
  // or a later frame took its place. The next look asks again.
  const bool lossless = p.number == lossless_;
  if (lossless_ && p.number >= lossless_) lossless_ = 0;
  if (p.width <= 0 || p.height <= 0) return;
  const bool resized = p.width != dib_.width() || p.height != dib_.height();
  if (!dib_.show(p, &changed)) return;
  decoder_->giveBack(std::move(p.bgra));
  shown_ = p.number;
  if (lossless && picture_.stillCurrent()) picture_.taken();
  // A frame of the old size does not end the wait after a resize.
  if (dib_.width() == w_ && dib_.height() == h_) pictureDue_ = 0;
  // Only what changed is drawn again; after a resize the white beside it too.
  RECT rc = {changed.left, changed.top, changed.right, changed.bottom};
  if (resized) InvalidateRect(hwnd_, nullptr, FALSE);
  else if (!changed.empty()) InvalidateRect(hwnd_, &rc, FALSE);
  NoticeArgs a;
  notifyApp(Notice::PaintUpdated, a);
}

void View::forgetAhead() {
  if (Session* s = Connection::get().session(); s && aheadId_) s->forget(aheadId_);
  aheadId_ = 0;
}

void View::noteQueuedChanges() {
  Session* s = Connection::get().session();
  if (!s) return;
  s->poll();  // frames are told at once; loads wait in the queue
  Connection::get().tellFrames();
  bool loaded = s->anyQueued([&](const Event& e) {
    return e.sessionId == sessionId_ && (e.method == "Page.frameNavigated" || e.method == "Page.domContentEventFired" ||
                                         e.method == "Page.loadEventFired");
  });
  if (loaded) changed();
}

void View::expectPicture() {
  if (!pictureDue_) pictureDue_ = GetTickCount64() + 100;
}

bool View::pictureStale() {
  if (!live()) return false;  // nothing to wait for: viewDC has no picture
  noteQueuedChanges();
  return !picture_.fresh();
}

void View::refreshPicture() {
  if (!live()) return;
  noteQueuedChanges();
  if (picture_.fresh() || (picture_.stillCurrent() && (aheadId_ || lossless_))) return;
  forgetAhead();
  lossless_ = 0;  // one still decoding shows the page before a change
  askAhead();
}

HDC View::viewDC() {
  // Without a page there is nothing to show: the last picture would pass
  // for a new one.
  if (!live()) {
    Connection::get().start();
    return nullptr;
  }
  noteQueuedChanges();
  if (!picture_.stillCurrent()) forgetAhead();
  if (!picture_.fresh() && lossless_) {
    decoder_->settle(2000);
    pictureDecoded();
  }
  if (!picture_.fresh() && aheadId_) {
    // A picture asked ahead is on its way: sooner than a new one.
    Reply r = Connection::get().session()->wait(aheadId_, "Page.captureScreenshot", 8000);
    aheadId_ = 0;
    noteQueuedChanges();
    if (picture_.stillCurrent()) loadPicture(r);
  }
  if (!picture_.fresh()) captureNow();
  return dib_.dc();
}
}  // namespace engine
