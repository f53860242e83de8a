// One web view: its window, its page target and the frames drawn from it.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/decoder_win.h"
#include "engine/device.h"
#include "engine/dib_win.h"
#include "engine/editing.h"
#include "engine/freshness.h"
#include "engine/history.h"
#include "engine/keys.h"
#include "engine/page_events.h"
#include "engine/page_notices.h"
#include "engine/session.h"

namespace engine {

// What a view tells the application; the exports map these onto the
// registered callbacks.
enum class Notice {
  DocumentReady, TitleChanged, UrlChanged, LoadingFinished, Console, Alert,
  Confirm, Prompt, Navigation, PaintUpdated, WindowClosing, WindowDestroy,
  HoverUrl, CreateView, Download, UrlBegin, UrlEnd,
};

struct NoticeArgs {
  std::string text, text2;  // UTF-8: title, URL, message, default value
  std::string text3;        // console: the stack
  int number = 0;
  int line = 0;             // console: the source line
  bool answer = true;  // question notices: the application's answer
  bool toPerson = false;  // dialogs: the application left the answer to the engine
  WindowRect window;         // CreateView: where the page asked for the window
  void* created = nullptr;   // CreateView: the web view the application gave
};

// Posted to a view's window when its decoder has a picture ready.
UINT pictureMessage();

class View;

// How a view reaches the application: handed down by the export layer with
// each view it makes, so the view knows nothing of the callbacks behind it.
struct AppCalls {
  void (*notify)(View&, Notice, NoticeArgs&);  // sets the answer for questions
  void (*forget)(View&);  // frees what the export layer keeps for the view
};

class View {
 public:
  // Creates the window (type 2 child, type 0 pop-up) and its page target.
  // Without a browser the window still exists and stays blank.
  static View* create(int type, HWND parent, int x, int y, int w, int h, const AppCalls& app);
  // Closes the page and deletes the view; the window must be gone already.
  void destroy();

  // The view behind a handle from the application, or nullptr when it is
  // unknown or destroyed, so stale handles read as neutral.
  static View* find(const void* handle);
  // How many views exist.
  static size_t count();

  HWND hwnd() const { return hwnd_; }
  bool live() const;
  // The browser's session while this view has a page in it; null otherwise.
  Session* pageSession() const;

  void loadUrl(const std::string& url);
  void loadHtml(const std::string& html);
  void reload();
  // The session history as the browser has it now; empty without a page.
  NavHistory history();
  // Shows the history entry with that id; false for 0 or without a page.
  bool goToEntry(int id);
  void stopLoading();
  const LoadState& loadState() const { return load_; }
  // Whether the page is still loading: its document, or a request it made
  // that has not ended (streams that may stay open not counted).
  bool loading() const;
  // Edit commands, with copy, cut and paste on the system's clipboard.
  void edit(EditCommand c);
  void setContextMenuEnabled(bool on) { menuEnabled_ = on; }
  // Page zoom: the page lays out in a viewport that much smaller, drawn
  // that much larger, so the picture keeps the window's size.
  void setZoom(float factor);
  float zoom() const { return zoom_; }
  // The page's caret in the window's client coordinates; empty when
  // nothing takes typed text.
  RECT caretRect();
  void setUserAgent(const std::string& ua);
  void setCookiesEnabled(bool enabled);
  bool cookiesEnabled() const { return cookies_; }
  // The browser's cookie store: the Cookie header the page's address gets
  // ("a=1; b=2"); a cookie in Set-Cookie form for url ("" for the page's);
  // every cookie (the protocol's objects); one of them gone; all, or only
  // the session cookies, gone. Without a page: none, and nothing changes.
  std::string cookies();
  bool setCookie(const std::string& url, const std::string& line);
  Json allCookies();
  void deleteCookie(const Json& cookie);
  void clearCookies(bool sessionOnly);
  void setDeviceParam(const char* name, const char* text, int number);
  // Runs a function body; result text and number; false on any failure.
  bool runScript(const std::string& body, std::string& text, int& number);
  std::string title();
  std::string url() const { return url_; }
  const std::string& targetId() const { return targetId_; }
  // The surface, brought up to date with the page first when it may be stale.
  HDC viewDC();
  // Whether the surface may not show the page as it is now.
  bool pictureStale();
  // Asks for a picture of the page as it is now, unless one is on its way
  // or shown already; the view's own frames tell whether it still holds.
  void refreshPicture();
  int width() const { return w_; }
  int height() const { return h_; }

  // Opens the view's page in the current session and applies what was set.
  void startPage();
  // Closes the page and its cookie store, forgetting replies still owed.
  void closePage(Session& s);
  void onEvent(const Event& e);
  // A screencast frame's picture, in base64.
  void onFrame(std::string data);
  void afterEvents();
  void onDetached();
  // The browser is out of reach: the view says so in its own area until its
  // page is back.
  void setOffline(bool offline);
  // A download the page started (a browser-level event): the application's
  // answer, true when it takes the download.
  bool onDownload(const Json& params);

  void* appData = nullptr;  // owned by the export layer: callback slots

 private:
  View() = default;
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT handle(UINT msg, WPARAM w, LPARAM l);
  void notifyApp(Notice n, NoticeArgs& a) { app_->notify(*this, n, a); }
  void applyUserAgent();
  void applyDevice();
  Reply call(const std::string& method, const Json& params = Json::object(), int timeoutMs = 5000);
  void post(const std::string& method, const Json& params);
  void applyMetrics();  // sends the size and zoom, then checks the page took them
  void sendMetrics();
  long cssPixels(int px) const;  // view pixels as the page's, at the zoom
  void checkMetrics();
  // A screenshot taken now into the surface; false when none came.
  bool captureNow();
  // A screenshot reply into the surface; false when it holds no picture.
  bool loadPicture(const Reply& r);
  // The page may have changed: the surface no longer counts as fresh.
  void changed() { picture_.touched(GetTickCount64()); }
  // A picture asked for ahead of a snapshot, without waiting for it.
  void askAhead();
  // Hands a picture asked ahead to the decoder once it has come; true when
  // it was handed in.
  bool aheadArrived();
  // Shows the decoder's newest picture unless a later one is shown already.
  void pictureDecoded();
  // No longer waits for the picture asked ahead.
  void forgetAhead();
  // Changes that have arrived but are not delivered yet.
  void noteQueuedChanges();
  // Input, a load or a resize: a picture is wanted soon, from the next
  // frame or, failing that, taken directly.
  void expectPicture();
  void input(const char* method, const Json& params);
  void mouse(const char* type, LPARAM l, const char* button, int clicks);
  void press(UINT msg, LPARAM l);
  void release(UINT msg, LPARAM l);
  void wheel(UINT msg, WPARAM w, LPARAM l);
  void key(UINT msg, WPARAM w, LPARAM l);
  void typed(WPARAM w);
  void insertText(const std::string& text);
  void compose(LPARAM l);
  // A function body's text, read without touching the picture; "" on failure.
  std::string evaluate(const std::string& body, bool gesture = false);
  // The selection onto the system's clipboard; false when nothing went there.
  bool copySelection();
  // The system's clipboard text into the browser's own, for a paste to take.
  void offerClipboard();
  void contextMenu(int screenX, int screenY);
  int css(int px) const;
  void placeImeWindows();
  void setCursor(int id);  // an IDC_ number, 0 for none
  void checkTitle();
  void titleSeen(const std::string& title);
  void openWindow(const PageEvent& ev);
  void requestPaused(const PageEvent& ev);
  void requestEnded(const PageEvent::Request& request);
  void pageNotice(const PageEvent& ev);
  void chooseFiles(const PageEvent& ev);
  void answerDialog(const PageEvent& ev);
  // Where the page's scripts run; a notice counts only from the page's own
  // origin (a title only from its main frame).
  void contextEvent(const PageEvent& ev);
  // For a browser given by an endpoint: watches the page's local storage.
  void syncStorage();
  // A document of origin is about to load in the main frame: the restore
  // script carries that origin's kept items, if any are still pending.
  void prepareRestore(const std::string& origin);
  // Identifiers of restore scripts that have come: the current one kept,
  // replaced ones removed.
  void collectRestores();
  void storageChanged(const std::string& origin, const Json& storageId);
  // Hands the changed origins' items to the keeper.
  void saveStorage();

  HWND hwnd_ = nullptr;
  const AppCalls* app_ = nullptr;
  bool offline_ = false;
  std::string sessionId_, targetId_;
  bool detached_ = false;
  Dib dib_;
  std::unique_ptr<Decoder> decoder_;
  uint64_t pictures_ = 0;       // numbers given to pictures handed in or loaded
  uint64_t shown_ = 0;          // the number of the picture on the surface
  uint64_t lossless_ = 0;       // the screenshot asked ahead, while it decodes
  int w_ = 0, h_ = 0;
  Freshness picture_;           // whether the surface shows the page as it is
  int64_t aheadId_ = 0;         // the screenshot asked ahead, on its way
  int64_t inputId_ = 0;         // the last input sent, until the page is known to have it
  std::string pendingFrame_;    // newest undecoded screencast frame
  std::string url_, title_;
  LoadState load_;
  std::string noticedTitle_, hover_;  // as last told to the application
  DeviceParams device_;
  bool deviceSet_ = false;
  std::string userAgent_;
  bool cookies_ = true;
  std::string contextId_;  // with cookies off: the page's own store, emptied before each request
  std::string pendingUrl_, pendingHtml_;  // the load waiting for the page
  std::string deviceScriptId_;
  uint64_t pictureDue_ = 0;    // tick by which a picture is wanted; 0 for none
  int buttons_ = 0;            // page button bits held
  int clicks_ = 1;             // click count of the last press
  std::string lastCode_;       // code of the last key down, for its characters
  Utf16Joiner charJoiner_, imeJoiner_;
  int cursor_ = 32512;         // the page's cursor, as an IDC_ number
  bool menuEnabled_ = true;     // right-click opens the context menu
  bool tracking_ = false;       // the window hears when the mouse leaves
  float zoom_ = 1.0f;
  uint64_t metricsCheckDue_ = 0;  // tick to ask the page which size and zoom it took; 0 for none
  int metricsChecks_ = 0;         // looks left
  int64_t metricsCheckId_ = 0;    // the look asked of the session, its reply not yet taken
  int jobs_ = 0;  // numbers the requests told to the application
  struct Request {
    std::string url;
    int job = 0;
    bool page = false;  // the main frame's document
    bool lasting = false;  // may stay open for good: not waited for
  };
  std::map<std::string, Request> requests_;  // by network request id, till they end
  std::string pageRequest_;  // of the main frame's latest document
  bool errorPage_ = false;  // the main frame shows the browser's error page
  bool storageWatched_ = false;      // DOMStorage events are on for the page
  std::string restoreFor_;           // origin and keeper version of the restore script
  std::string restoreScriptId_;
  int64_t restoreAsked_ = 0;              // the current script's request, till its identifier comes
  std::vector<int64_t> restoresToDrop_;  // requests of replaced scripts, whose identifiers have not come
  std::string binding_;              // the notice binding's name, this view's own
  struct Context {
    std::string origin;
    bool mainFrame = false;
  };
  std::map<int64_t, Context> contexts_;  // by execution context id
  std::string pageOrigin_;               // of the main frame's document
  std::map<std::string, Json> changedStorage_;  // storage ids by origin, not yet kept
  uint64_t storageDue_ = 0;          // tick by which to keep them; 0 for none
};

}  // namespace engine
