// Drives node.dll against a real browser: engine_probe <node.dll> <url> <kill-marker>.
// Prints one PASS/FAIL line per case; after "KILL-NOW" it waits for the
// marker file, which the script creates once it has killed the browser.
// With "--exit" in place of the marker it ends with two views still open,
// so the script can check that the process exits cleanly.
#include <windows.h>

#include <imm.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "tests/engine/engine_dll_win.h"

namespace {

int failures = 0;

void report(bool ok, const char* name, const std::string& detail = "") {
  std::printf("%s: %s%s%s\n", ok ? "PASS" : "FAIL", name, detail.empty() ? "" : " -- ", detail.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

bool loaded = false;
int loadResult = -1;
std::string loadReason;
const char* (*engineString)(void*) = nullptr;
void onLoadingFinish(void*, void*, void*, int result, void* reason) {
  loaded = true;
  loadResult = result;
  loadReason = engineString ? engineString(reason) : "";
}

std::string ended;  // addresses of the requests that ended
void onUrlEnd(void*, void*, const char* url, void*, void*, int) { ended += std::string(url) + "|"; }

std::string consoleSeen;
void onConsole(void*, void*, int level, void* message, void* source, unsigned line, void*) {
  consoleSeen += std::to_string(level) + ":" + engineString(message) + ":" + std::to_string(line) + ":" +
                 engineString(source) + "|";
}

void onLateDestroy(void*, void*) {
  std::printf("destroy notice after main returned\n");
  std::fflush(stdout);
}

int exitWithViews(EngineDll& e, const char* url) {
  HWND host = makeHostWindow(640, 400);
  EngineDll::View child = e.createWebWindow(2, host, 0, 0, 640, 400);
  EngineDll::View popup = e.createWebWindow(0, nullptr, 0, 0, 320, 200);
  if (!child || !popup) return 1;
  for (EngineDll::View v : {child, popup}) {
    e.onLoadingFinish(v, reinterpret_cast<void*>(&onLoadingFinish), nullptr);
    e.onWindowDestroy(v, reinterpret_cast<void*>(&onLateDestroy), nullptr);
    e.loadURL(v, url);
  }
  bool ok = pumpUntil(30000, [] { return loaded; });
  e.getViewDC(child);
  std::printf("EXIT-WITH-VIEWS %s\n", ok ? "loaded" : "not loaded");
  std::fflush(stdout);
  return ok ? 0 : 1;
}

// What the engine told us, for the notice cases.
struct Heard {
  EngineDll* e = nullptr;
  std::string titles;                     // every title notice, '|' after each
  std::string hovers;                     // every hover notice, '|' after each
  std::string openedUrl, downloadUrl;
  int openedWidth = 0, openedHeight = 0, createCalls = 0;
  EngineDll::View popup = nullptr;
  bool popupLoaded = false;
  bool takeDownload = false;
  std::string dialogs;  // every alert and confirm message, '|' after each
  std::string requests;  // every image request begun, '|' after each
} heard;

void onTitle(void*, void*, void* title) { heard.titles += std::string(heard.e->getString(title)) + "|"; }
void onHover(void*, void*, void* url) { heard.hovers += std::string(heard.e->getString(url)) + "|"; }
void onPopupLoaded(void*, void*, void*, int, void*) { heard.popupLoaded = true; }

void onAlert(void*, void*, void* msg) { heard.dialogs += std::string(heard.e->getString(msg)) + "|"; }
bool onConfirm(void*, void*, void* msg) {
  heard.dialogs += std::string(heard.e->getString(msg)) + "|";
  return false;
}

bool endsWith(const std::string& s, const std::string& tail);
// Takes the requests for "taken.png" for itself.
bool onUrlBegin(void*, void*, const char* url, void*) {
  std::string u = url ? url : "";
  if (u.find(".png") != std::string::npos) heard.requests += u.substr(u.rfind('/') + 1) + "|";
  return endsWith(u, "taken.png");
}

struct Features { int x, y, width, height; };
void* onCreateView(void*, void*, int, void* url, const Features* f) {
  ++heard.createCalls;
  heard.openedUrl = heard.e->getString(url);
  heard.openedWidth = f ? f->width : -1;
  heard.openedHeight = f ? f->height : -1;
  heard.popup = heard.e->createWebWindow(0, nullptr, f ? f->x : 0, f ? f->y : 0, heard.openedWidth,
                                         heard.openedHeight);
  if (heard.popup) heard.e->onLoadingFinish(heard.popup, reinterpret_cast<void*>(&onPopupLoaded), nullptr);
  return heard.popup;
}

// A subclass of the pop-up that releases its own state once the engine has
// handled WM_DESTROY, as the browser library does.
struct Releasing {
  WNDPROC engineProc = nullptr;
  bool released = false;
  int notices = 0, noticesBeforeRelease = 0;
} releasing;

LRESULT CALLBACK releasingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = CallWindowProcW(releasing.engineProc, h, msg, w, l);
  if (msg == WM_DESTROY) {
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(releasing.engineProc));
    releasing.released = true;
  }
  return r;
}

void onPopupDestroy(void*, void*) {
  ++releasing.notices;
  if (!releasing.released) ++releasing.noticesBeforeRelease;
}

bool onDownload(void*, void*, const char* url) {
  heard.downloadUrl = url ? url : "";
  // An application that asks the user answers late: by then the browser has
  // written the small file whole, whatever the answer.
  Sleep(500);
  return heard.takeDownload;
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

int filesIn(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return n;
}

// Notices the page raises after it has loaded: title, hover URL, new
// windows and downloads.
void noticeCases(EngineDll& e, EngineDll::View v, const std::string& base) {
  heard.e = &e;
  e.onTitleChanged(v, reinterpret_cast<void*>(&onTitle), nullptr);
  e.onMouseOverUrlChanged(v, reinterpret_cast<void*>(&onHover), nullptr);
  e.onCreateView(v, reinterpret_cast<void*>(&onCreateView), nullptr);
  e.onDownload(v, reinterpret_cast<void*>(&onDownload), nullptr);
  e.onAlertBox(v, reinterpret_cast<void*>(&onAlert), nullptr);
  e.onConfirmBox(v, reinterpret_cast<void*>(&onConfirm), nullptr);
  e.onLoadUrlBegin(v, reinterpret_cast<void*>(&onUrlBegin), nullptr);

  std::string images = e.toString(e.globalExec(v), e.runJSW(v,
      L"const one = n => new Promise(r => { const i = new Image(); i.onload = () => r(n + ' loads');"
      L" i.onerror = () => r(n + ' fails'); i.src = n + '.png'; });"
      L" return Promise.all([one('dot'), one('taken')]).then(a => a.join(', '))"));
  report(images == "dot loads, taken fails" && heard.requests == "dot.png|taken.png|",
         "request begin asked for each request; taken ones do not load", images + " / " + heard.requests);

  // The page waits for the answer, so it must come while the script runs.
  DWORD t0 = GetTickCount();
  int64_t dialogValue = e.runJSW(v, L"alert('one'); return confirm('two') ? 'yes' : 'no'");
  DWORD took = GetTickCount() - t0;
  std::string answered = e.toString(e.globalExec(v), dialogValue);
  report(heard.dialogs == "one|two|" && answered == "no" && took < 3000,
         "alert and confirm inside a script are answered at once",
         heard.dialogs + " -> '" + answered + "' in " + std::to_string(took) + " ms");

  e.runJSW(v, L"setTimeout(() => { document.title = 'Second Title'; }, 50);"
              L" setTimeout(() => { document.querySelector('title').textContent = '\\u7b2c\\u4e09'; }, 150)");
  bool titled = pumpUntil(3000, [] { return heard.titles.find("\xe7\xac\xac\xe4\xb8\x89|") != std::string::npos; });
  report(titled && heard.titles == "Second Title|\xe7\xac\xac\xe4\xb8\x89|", "title change after load is noticed",
         heard.titles);

  HWND hwnd = e.getWindowHandle(v);
  PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(50, 120));
  bool over = pumpUntil(3000, [] { return !heard.hovers.empty(); });
  PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(700, 500));
  bool left = over && pumpUntil(3000, [] { return endsWith(heard.hovers, "||"); });
  report(over && left && heard.hovers == base + "next.html||", "hover URL over a link and off it", heard.hovers);

  e.runJSW(v, L"window.__w = window.open('popup.html', '_blank', 'width=300,height=200')");
  bool asked = pumpUntil(5000, [] { return heard.createCalls > 0; });
  bool popupLoaded = asked && pumpUntil(15000, [] { return heard.popupLoaded; });
  std::string popupTitle = popupLoaded ? e.getTitle(heard.popup) : "";
  pumpUntil(1000, [] { return false; });
  std::string ownClosed = e.toString(e.globalExec(v), e.runJSW(v, L"return window.__w.closed"));
  report(asked && heard.openedUrl == base + "popup.html" && heard.openedWidth == 300 && heard.openedHeight == 200 &&
             popupTitle == "Popup" && ownClosed == "true",
         "window.open asks for a view, which loads the address",
         heard.openedUrl + " " + std::to_string(heard.openedWidth) + "x" + std::to_string(heard.openedHeight) +
             " title '" + popupTitle + "' browser's own window closed: " + ownClosed);
  if (heard.popup) {
    HWND popupWindow = e.getWindowHandle(heard.popup);
    e.onWindowDestroy(heard.popup, reinterpret_cast<void*>(&onPopupDestroy), nullptr);
    releasing.engineProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(popupWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&releasingProc)));
    DestroyWindow(popupWindow);
  }
  report(releasing.notices == 1 && releasing.noticesBeforeRelease == 1,
         "window-destroy notice comes once, before a subclass releases its state",
         std::to_string(releasing.notices) + " notices, " + std::to_string(releasing.noticesBeforeRelease) +
             " before the release");

  e.setNavigationToNewWindowEnable(v, false);
  e.runJSW(v, L"window.__w2 = window.open('popup.html')");
  pumpUntil(1500, [] { return heard.createCalls > 1; });
  ownClosed = e.toString(e.globalExec(v), e.runJSW(v, L"return window.__w2.closed"));
  report(heard.createCalls == 1 && ownClosed == "true", "no window and no question when new windows are off",
         std::to_string(heard.createCalls) + " questions, browser's own window closed: " + ownClosed);

  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring downloads = std::wstring(tmp) + L"paginet-downloads";
  int filesBefore = filesIn(downloads);
  e.runJSW(v, L"document.getElementById('d').click()");
  bool noticed = pumpUntil(5000, [] { return !heard.downloadUrl.empty(); });
  pumpUntil(1000, [] { return false; });
  int filesAfter = filesIn(downloads);
  // Taken, the same download lands in the folder: the refusal above is what kept it out.
  heard.takeDownload = true;
  heard.downloadUrl.clear();
  e.runJSW(v, L"document.getElementById('d').click()");
  bool noticedAgain = pumpUntil(5000, [] { return !heard.downloadUrl.empty(); });
  bool saved = noticedAgain && pumpUntil(5000, [&] { return filesIn(downloads) > filesAfter; });
  // Both have finished once nothing is left where the browser writes them:
  // the refused one must not have landed late.
  std::wstring staging = downloads + L"\\.pending";
  bool settled = saved && pumpUntil(5000, [&] { return filesIn(staging) == 0; });
  int filesLast = filesIn(downloads);
  report(noticed && heard.downloadUrl == base + "file.bin" && filesAfter == filesBefore && saved && settled &&
             filesLast == filesAfter + 1,
         "download noticed; refused means no file, taken means a file",
         heard.downloadUrl + ", files " + std::to_string(filesBefore) + " -> " + std::to_string(filesAfter) +
             (saved ? ", then saved" : ", taken one not saved") + ", finally " + std::to_string(filesLast) +
             (settled ? "" : ", staging not emptied"));
}

// Each cookie as "name:lasting|", lasting 1 when it has an expiry.
// History, load state, the editor commands on the system clipboard, zoom
// and the caret, through the exports an application calls.
std::string clipboardText() {
  std::string out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* w = static_cast<const wchar_t*>(GlobalLock(h))) {
      for (const wchar_t* p = w; *p; ++p) out += *p < 0x80 ? static_cast<char>(*p) : '?';
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return out;
}

// When a composition starts, the input method's windows are placed at the
// caret the export reports, wherever the focused field is.
void imeCases(EngineDll& e, EngineDll::View v) {
  HWND wnd = e.getWindowHandle(v);
  void* es = e.globalExec(v);
  struct Place {
    int left, top;
  };
  for (Place at : {Place{300, 300}, Place{40, 620}}) {
    std::wstring move = L"f.style.left = '" + std::to_wstring(at.left) + L"px'; f.style.top = '" +
                        std::to_wstring(at.top) + L"px'; f.focus(); f.setSelectionRange(1, 1)";
    e.toString(es, e.runJSW(v, move.c_str()));
    EngineDll::Rect c = e.getCaretRect(v);
    SendMessageW(wnd, WM_IME_STARTCOMPOSITION, 0, 0);
    COMPOSITIONFORM cf{};
    CANDIDATEFORM cand{};
    HIMC imc = ImmGetContext(wnd);
    bool read = imc && ImmGetCompositionWindow(imc, &cf) && ImmGetCandidateWindow(imc, 0, &cand);
    if (imc) ImmReleaseContext(wnd, imc);
    SendMessageW(wnd, WM_IME_ENDCOMPOSITION, 0, 0);
    const RECT& a = cand.rcArea;
    bool inField = c.x > at.left && c.x < at.left + 40 && c.y >= at.top && c.y < at.top + 30 && c.h > 10;
    bool follows = read && cf.ptCurrentPos.x == c.x && cf.ptCurrentPos.y == c.y && cand.dwStyle == CFS_EXCLUDE &&
                   a.left == c.x && a.top == c.y && a.bottom == c.y + c.h && cand.ptCurrentPos.y == c.y + c.h;
    report(inField && follows, "the input method's windows sit at the caret",
           "caret " + std::to_string(c.x) + "," + std::to_string(c.y) + " h " + std::to_string(c.h) +
               ", composition at " + std::to_string(cf.ptCurrentPos.x) + "," + std::to_string(cf.ptCurrentPos.y) +
               ", candidates over " + std::to_string(a.left) + "," + std::to_string(a.top) + "-" +
               std::to_string(a.bottom));
  }
}

// A right-click opens the view's menu unless the application turned it
// off. The button messages return once any menu has closed; meanwhile a
// thread timer, which the menu's own loop runs too, closes it when seen.
bool menuOpened = false;
void CALLBACK closeMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND m = FindWindowW(L"#32768", nullptr);
  if (!m || !IsWindowVisible(m)) return;
  menuOpened = true;
  EndMenu();
}

void menuCases(EngineDll& e, EngineDll::View v) {
  HWND wnd = e.getWindowHandle(v);
  std::string seen;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, closeMenu);
  for (bool enabled : {false, true, false}) {
    e.setContextMenuEnabled(v, enabled);
    menuOpened = false;
    SendMessageW(wnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(600, 200));
    SendMessageW(wnd, WM_RBUTTONUP, 0, MAKELPARAM(600, 200));
    seen += menuOpened ? "menu " : "none ";
  }
  KillTimer(nullptr, timer);
  report(seen == "none menu none ", "wkeSetContextMenuEnabled turns the right-click menu off and on",
         "off, on, off: " + seen);
}

void browserCases(EngineDll& e, EngineDll::View v) {
  void* es = e.globalExec(v);
  auto js = [&](const wchar_t* body) { return std::string(e.toString(es, e.runJSW(v, body))); };
  auto urlEnds = [&](const char* tail) { return endsWith(e.getURL(v), tail); };
  bool settled = e.isLoadingCompleted(v) && e.isDocumentReady(v) && !e.isLoading(v);
  int start = e.getNavigateIndex(v);
  js(L"location.hash = 'one'");
  bool moved = pumpUntil(5000, [&] { return urlEnds("#one"); });
  bool back = e.canGoBack(v) && !e.canGoForward(v) && e.goBack(v) &&
              pumpUntil(5000, [&] { return !urlEnds("#one"); });
  bool forward = e.canGoForward(v) && e.getNavigateIndex(v) == start;
  e.goToOffset(v, 1);
  forward = forward && pumpUntil(5000, [&] { return urlEnds("#one"); }) && e.getNavigateIndex(v) == start + 1;
  bool outside = !e.navigateAtIndex(v, 999) && !e.navigateAtIndex(v, -1) && !e.canGoBack(nullptr);
  report(settled && moved && back && forward && outside, "history and load state exports",
         std::string(e.getURL(v)) + " index " + std::to_string(e.getNavigateIndex(v)));

  js(L"document.body.insertAdjacentHTML('beforeend', '<input id=f value=abc style=\"position:absolute;"
     L"left:300px;top:300px;font:20px monospace\">'); f.focus(); f.select()");
  e.editorCopy(v);
  std::string copied = clipboardText();
  e.editorDelete(v);
  std::string deleted = js(L"return f.value");
  e.editorPaste(v);
  std::string pasted;
  pumpUntil(3000, [&] { return (pasted = js(L"return f.value")) == "abc"; });
  report(copied == "abc" && deleted.empty() && pasted == "abc", "editor copy, delete and paste",
         "'" + copied + "' '" + deleted + "' '" + pasted + "'");

  EngineDll::Rect caret = e.getCaretRect(v);
  report(caret.x > 300 && caret.x < 400 && caret.y >= 300 && caret.y < 330 && caret.h > 10,
         "the caret is at the field's text end",
         std::to_string(caret.x) + "," + std::to_string(caret.y) + " h " + std::to_string(caret.h));

  e.setZoomFactor(v, 1.25f);
  float zoomed = e.getZoomFactor(v);
  std::string page = js(L"return devicePixelRatio + ' ' + innerWidth");
  e.setZoomFactor(v, 0.0f);
  float least = e.getZoomFactor(v);
  e.setZoomFactor(v, 1.0f);
  report(zoomed == 1.25f && page == "1.25 1080" && least == 0.25f && e.getZoomFactor(nullptr) == 0.0f,
         "zoom factor set, read and held in range", page + " least " + std::to_string(least));
  imeCases(e, v);
  menuCases(e, v);
}

bool visitCookie(void* out, const char* name, const char*, const char*, const char*, int, int, int* expires) {
  *static_cast<std::string*>(out) += std::string(name) + ":" + (*expires > 0 ? "1" : "0") + "|";
  return false;
}

void writeFile(const std::wstring& path, const std::string& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  if (h != INVALID_HANDLE_VALUE) WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
  CloseHandle(h);
}

// A sign-in kept for this browser (given by an endpoint) comes back into it
// once: a sign-out in one view is not undone when the next view opens.
void keptCases(EngineDll& e, HWND host, const std::string& base) {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring dir = std::wstring(tmp) + L"paginet-probe-kept\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  std::string origin = base.substr(0, base.find('/', base.find("//") + 2));
  std::string domain = origin.substr(origin.find("//") + 2);
  domain = domain.substr(0, domain.find(':'));
  writeFile(dir + L"cookies.jsonl", R"({"name":"signin","value":"1","path":"/","domain":")" + domain +
                                         R"(","expires":)" + std::to_string(time(nullptr) + 3600) + "}\n");
  writeFile(dir + L"localstorage.jsonl", R"({"origin":")" + origin + R"(","items":{"signin":"1"}})" "\n");
  const wchar_t* signedIn = L"return document.cookie.split('; ').filter(c => c.startsWith('signin=')).join() +"
                            L" '|' + (localStorage.getItem('signin') || '')";
  EngineDll::View first = e.createWebWindow(2, host, 0, 0, 640, 400);
  e.setCookieJarPath(first, dir.c_str());
  loaded = false;
  e.onLoadingFinish(first, reinterpret_cast<void*>(&onLoadingFinish), nullptr);
  e.loadURL(first, (base + "index.html").c_str());
  pumpUntil(30000, [] { return loaded; });
  std::string before = e.toString(e.globalExec(first), e.runJSW(first, signedIn));
  e.runJSW(first, L"document.cookie = 'signin=; max-age=0'; localStorage.removeItem('signin')");
  EngineDll::View next = e.createWebWindow(2, host, 0, 0, 640, 400);
  loaded = false;
  e.onLoadingFinish(next, reinterpret_cast<void*>(&onLoadingFinish), nullptr);
  e.loadURL(next, (base + "index.html").c_str());
  pumpUntil(30000, [] { return loaded; });
  std::string after = e.toString(e.globalExec(next), e.runJSW(next, signedIn));
  report(before == "signin=1|1" && after == "|", "kept sign-in comes back once per browser, not with each view",
         "'" + before + "' then '" + after + "'");
  DestroyWindow(e.getWindowHandle(first));
  DestroyWindow(e.getWindowHandle(next));
}

// A frame of another origin cannot speak for the page: only the page's own
// title changes reach the application.
void originCases(EngineDll& e, HWND host, const std::string& base) {
  EngineDll::View v = e.createWebWindow(2, host, 0, 0, 640, 400);
  heard.titles.clear();
  e.onTitleChanged(v, reinterpret_cast<void*>(&onTitle), nullptr);
  e.loadURL(v, (base + "framed.html").c_str());
  bool later = pumpUntil(10000, [] { return heard.titles.find("Framed Later|") != std::string::npos; });
  std::string framed = e.toString(e.globalExec(v), e.runJSW(v, L"return document.getElementById('f').src"));
  pumpUntil(500, [] { return false; });  // a late notice from the frame would come by now
  report(later && heard.titles == "Framed|Framed Later|", "a frame of another origin gives no title notice",
         heard.titles + " (frame " + framed + ")");
  DestroyWindow(e.getWindowHandle(v));
}

bool isRed(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool isWhite(COLORREF c) { return GetRValue(c) > 230 && GetGValue(c) > 230 && GetBValue(c) > 230; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: engine_probe <node.dll> <url> <kill-marker>\n");
    return 2;
  }
  EngineDll e{};
  if (!e.load(widen(argv[1]).c_str())) {
    report(false, "node.dll loads");
    return 1;
  }
  static const char zeros[216] = {};
  e.initializeEx(zeros);
  if (std::strcmp(argv[3], "--exit") == 0) return exitWithViews(e, argv[2]);
  HWND host = makeHostWindow(1350, 800);
  EngineDll::View v = e.createWebWindow(2, host, 0, 0, 1350, 800);
  report(v && IsWindow(e.getWindowHandle(v)), "web window created");
  if (!v) return 1;
  e.showWindow(v, 1);
  engineString = e.getString;
  e.onLoadingFinish(v, reinterpret_cast<void*>(&onLoadingFinish), nullptr);
  e.onLoadUrlEnd(v, reinterpret_cast<void*>(&onUrlEnd), nullptr);
  e.onConsole(v, reinterpret_cast<void*>(&onConsole), nullptr);
  e.setUserAgent(v, "PaginetProbe/1.0 (Tablet)");
  e.setDeviceParameter(v, "navigator.maxTouchPoints", nullptr, 5, 0);
  e.setDeviceParameter(v, "navigator.platform", "QD-Mini", 0, 0);
  e.setDeviceParameter(v, "navigator.hardwareConcurrency", nullptr, 4, 0);
  e.setDeviceParameter(v, "screen.width", nullptr, 1820, 0);
  e.setDeviceParameter(v, "screen.height", nullptr, 980, 0);
  e.setDeviceParameter(v, "screen.availWidth", nullptr, 1819, 0);
  e.setDeviceParameter(v, "screen.availHeight", nullptr, 979, 0);
  e.loadURL(v, argv[2]);
  bool finished = pumpUntil(30000, [] { return loaded; });
  std::string title = e.getTitle(v);
  report(finished && title == "Engine Probe" && loadResult == 0, "page loads", "title '" + title + "'");
  report(ended.find("/index.html|") != std::string::npos, "the page's request end is told", ended);

  e.runJSW(v, L"console.warn('careful', 2); setTimeout(() => { throw new Error('late'); })");
  pumpUntil(5000, [] { return consoleSeen.find("late") != std::string::npos; });
  report(consoleSeen.rfind("2:careful 2:", 0) == 0 && consoleSeen.find("|3:Error: late") != std::string::npos,
         "console messages and errors carry their level", consoleSeen);

  loaded = false;
  e.loadURL(v, "http://127.0.0.1:1/closed");
  pumpUntil(15000, [] { return loaded; });
  report(loaded && loadResult == 1 && loadReason.rfind("net::ERR_", 0) == 0,
         "a failed load ends with failure and its reason", std::to_string(loadResult) + " " + loadReason);
  loaded = false;
  e.loadURL(v, argv[2]);
  pumpUntil(30000, [] { return loaded; });

  void* es = e.globalExec(v);
  int64_t r = e.runJSW(v, L"return [navigator.userAgent, navigator.platform, navigator.maxTouchPoints,"
                          L" navigator.hardwareConcurrency, screen.width, screen.height, screen.availWidth,"
                          L" screen.availHeight].join('|')");
  std::string nav = e.toString(es, r);
  report(nav == "PaginetProbe/1.0 (Tablet)|QD-Mini|5|4|1820|980|1819|979", "navigator and screen values", nav);

  r = e.runJSW(v, L"return document.title + '\\u4e2d\\u6587' // trailing comment");
  std::string text = e.toString(es, r);
  report(text == "Engine Probe\xe4\xb8\xad\xe6\x96\x87", "script text comes back as UTF-8", text);

  // Cookies off: the page neither sets nor reads them, its requests carry
  // none of the browser's and what they are sent is not kept; on again, the
  // browser's cookies are there as before.
  e.runJSW(v, L"document.cookie = 'before=1; max-age=60'");
  auto toggle = [&](bool on) {
    loaded = false;
    e.setCookieEnabled(v, on);
    return pumpUntil(15000, [] { return loaded; });
  };
  bool reloaded = toggle(false);
  std::string off = e.toString(es, e.runJSW(v, L"document.cookie = 'off=1; max-age=60'; return fetch('set')"
                                               L".then(() => fetch('echo')).then(r => r.text())"
                                               L".then(t => document.cookie + '|' + t)"));
  reloaded = toggle(true) && reloaded;
  std::string on = e.toString(es, e.runJSW(v, L"document.cookie = 'on=1; max-age=60';"
                                              L" return fetch('echo').then(r => r.text())"));
  report(reloaded && off == "|cookie=[]" && on.find("before=1") != std::string::npos &&
             on.find("on=1") != std::string::npos && on.find("off=1") == std::string::npos &&
             on.find("srv=2") == std::string::npos,
         "cookies off, then on again", "'" + off + "' '" + on + "'");

  // The cookie exports work on the browser's own store, which the page shares.
  e.setCookie(v, nullptr, "kept=1; Max-Age=600; Path=/");
  std::string pageSees = e.toString(es, e.runJSW(v, L"document.cookie = 'brief=2'; return document.cookie"));
  std::string header = e.getCookie(v), visited;
  e.visitAllCookie(v, &visited, reinterpret_cast<void*>(&visitCookie));
  e.performCookieCommand(v, 1);  // the session cookies go
  std::string lasting = e.getCookie(v);
  e.clearCookie(v);
  std::string cleared = e.getCookie(v);
  std::string inPage = e.toString(es, e.runJSW(v, L"return document.cookie"));
  report(pageSees.find("kept=1") != std::string::npos && header.find("kept=1") != std::string::npos &&
             header.find("brief=2") != std::string::npos && visited.find("kept:1|") != std::string::npos &&
             visited.find("brief:0|") != std::string::npos && lasting.find("kept=1") != std::string::npos &&
             lasting.find("brief") == std::string::npos && cleared.empty() && inPage.empty(),
         "cookie exports set, read, visit and clear the browser's cookies",
         "page '" + pageSees + "' header '" + header + "' visited '" + visited + "' lasting '" + lasting +
             "' cleared '" + cleared + "' page then '" + inPage + "'");

  struct { const wchar_t* body; int number; const char* text; } ints[] = {
      {L"return 6 * 7", 42, "42"},
      {L"return '17px'", 17, "17px"},
      {L"return Promise.resolve(-3.9)", -3, "-3.9"},
      {L"return 1e12", 2147483647, "1000000000000"},
      {L"return {a: 1}", 0, "{\"a\":1}"},
      {L"return window", 0, "[object Window]"},
      {L"undefinedName.x = 1", 0, ""},
  };
  bool intsOk = true;
  std::string detail;
  for (const auto& c : ints) {
    int64_t val = e.runJSW(v, c.body);
    int n = e.toInt(es, val);
    std::string t = e.toString(es, val);
    if (n != c.number || t != c.text) {
      intsOk = false;
      detail += t + "/" + std::to_string(n) + " ";
    }
  }
  report(intsOk, "script values as text and integer", detail);

  HDC dc = e.getViewDC(v);
  COLORREF before = dc ? GetPixel(dc, 700, 500) : CLR_INVALID;
  DWORD t0 = GetTickCount();
  e.runJSW(v, L"document.getElementById('b').click()");
  COLORREF after = CLR_INVALID;
  bool turned = pumpUntil(555, [&] {
    after = GetPixel(e.getViewDC(v), 700, 500);
    return isRed(after);
  });
  DWORD took = GetTickCount() - t0;
  report(isWhite(before) && turned, "click changes the view DC within 555 ms",
         "before " + std::to_string(before) + " after " + std::to_string(after) + " in " +
             std::to_string(took) + " ms");

  // A script leaves the surface dirty; asked for, the lossless picture of
  // the changed page comes while the caller goes on, exact to the pixel.
  e.runJSW(v, L"var d = document.createElement('div'); d.id = 'cover'; d.style.cssText ="
              L" 'position:fixed;inset:0;z-index:99999;background:rgb(10,200,30)';"
              L" document.body.appendChild(d)");
  const bool dirtyAfterScript = e.isDirty(v);
  e.setDirty(v, true);
  const bool clean = pumpUntil(5000, [&] { return !e.isDirty(v); });
  COLORREF covered = clean ? GetPixel(e.getViewDC(v), 700, 500) : CLR_INVALID;
  report(dirtyAfterScript && clean && covered == RGB(10, 200, 30),
         "a dirty view's picture is asked for ahead and shows the page",
         std::to_string(dirtyAfterScript) + " " + std::to_string(clean) + " " + std::to_string(covered));
  e.runJSW(v, L"document.getElementById('cover').remove()");

  std::string url = argv[2];
  noticeCases(e, v, url.substr(0, url.rfind('/') + 1));
  browserCases(e, v);
  keptCases(e, host, url.substr(0, url.rfind('/') + 1));
  originCases(e, host, url.substr(0, url.rfind('/') + 1));

  std::printf("KILL-NOW\n");
  std::fflush(stdout);
  pumpUntil(30000, [&] { return GetFileAttributesW(widen(argv[3]).c_str()) != INVALID_FILE_ATTRIBUTES; });
  // Let the closed connection be noticed by the message handling first.
  pumpUntil(500, [] { return false; });
  t0 = GetTickCount();
  bool neutral = true;
  for (int i = 0; i < 3; ++i) {
    int64_t val = e.runJSW(v, L"return 5");
    neutral = neutral && val == 0 && std::strcmp(e.toString(es, val), "") == 0 && e.toInt(es, val) == 0;
    e.loadURL(v, argv[2]);
    neutral = neutral && e.getViewDC(v) == nullptr;
    neutral = neutral && std::strcmp(e.getTitle(v), "") == 0;
    pumpUntil(100, [] { return false; });
  }
  took = GetTickCount() - t0;
  report(neutral && took < 15000, "neutral values after the browser is gone",
         std::to_string(took) + " ms for three rounds");
  DestroyWindow(host);
  return failures ? 1 : 0;
}
