// The browser view component's state, registry and helpers shared by its
// files. Windows only; native handles are void* here.
#pragma once
#include <cstdint>
#include <string>

#include "binding/engine_types.h"
#include "browser/view_properties.h"
#include "runtime/abi.h"

namespace web {

constexpr uint32_t kViewIsComponent = 1;   // engine notifications become events
constexpr uint32_t kViewHasPopup = 2;

struct View {
  rt::LiveObject live;        // the runtime handle; first, as the runtime reads it
  void* engineProc;           // engine window's own procedure, restored on destroy
  void* designOwner;
  void* parent;
  void* hwnd;                 // engine window
  uint32_t controlId;
  uint32_t windowId;
  uint32_t componentId;
  int32_t designFlag;
  uint32_t flags;
  uint32_t style;
  int32_t spare[2];
  ViewProperties props;       // GBK texts as the runtime exchanges them
  int32_t designPreview;
  std::wstring runDir;        // run directory with backslash, UTF-16
  wkeWebView webView;
  std::string title;          // last Title read, kept for GetPropertyData
};

// Every view object, component or pop-up, is made and released here. The
// engine's callbacks and the window messages reach a view only while it is
// live, so a late notice never reads a released one.
View* newView();
void releaseView(View* view);
View* liveView(void* candidate);   // the view, or null once released

// Window property marking an engine window that a re-created component
// closes; the view object has moved on to the new window.
extern const wchar_t kClosingProp[];

// Registry of component views; lookups never return a destroyed view.
View* registerView(uint32_t windowId, uint32_t componentId, View* view);
View* findRegistered(uint32_t windowId, uint32_t componentId);
View* viewOfHandle(const rt::LiveObject* handle);
void unregisterView(View* view);

// The view named by a browser command's first argument, or null.
View* FindView(const rt::Value& arg, void** engineWindow = nullptr);

// Engine notifications, subclassing and the file-chooser target.
void registerNotifications(View* view);
// The engine window's messages become events first (from registerNotifications).
void subclassEngineWindow(View* view);
bool runningLive(const View* view);   // false in design mode without preview

void* RT_CALL browserViewInterface(int32_t op);

// Events of the view (typed event record, notification 2031).
struct ViewEvent {
  explicit ViewEvent(const View* view, int32_t event);
  void integer(int32_t v);
  void text(std::string gbk);    // by reference
  // Dispatches; true when a routine ran.
  bool raise();
  // True unless a routine ran and returned false.
  bool answer() const;
  int32_t resultWord() const;

  rt::TypedEventRecord record;
  std::string texts[12];
  const char* pointers[12];
  bool ran = false;
};

// A view's event numbers, as its routines in the form description name them.
enum : int32_t {
  kDocumentReady = 0, kTitleChanged, kUrlChanged, kNavigating, kNewWindow, kLoadingFinished,
  kConsole, kAlert, kConfirm, kPrompt, kDownload, kRequestBegins, kRequestEnds, kHoverUrl,
  kLeftDown, kLeftUp, kLeftDouble, kRightDown, kRightUp, kMouseMoved, kFocusGained, kFocusLost,
  kKeyDown, kKeyUp, kCharacter, kScrolled, kPopupCreating, kPopupCreated, kWindowClosing,
  kWindowDestroyed, kFileChooserOpening = 32,
};

inline bool raisesEvents(const View* v) { return v && (v->flags & kViewIsComponent) && v->designFlag == 0; }

// Raises a question event on a component view; true unless refused.
// *answered: whether a routine ran and gave a result.
template <class Fill>
bool ask(View* v, int32_t event, Fill fill, bool* answered = nullptr) {
  if (!raisesEvents(v)) return true;
  ViewEvent e(v, event);
  fill(e);
  e.raise();
  if (answered) *answered = e.ran && e.record.hasResult;
  return e.answer();
}

}  // namespace web
