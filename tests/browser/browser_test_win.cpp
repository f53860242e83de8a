// The browser library against the recording engine double, under Wine.
// Tests run in order: loader first, then one view used by the rest.
#include <gtest/gtest.h>

#include <cstring>

#include "browser/browser_commands.h"
#include "browser/browser_library.h"
#include "browser/engine_loader.h"
#include "harness/browser_host_win.h"

namespace {

using host::Box;

std::wstring gBase;
HWND gParent;
rt::LiveObject* gView;
using host::kWindowId;
using host::kComponentId;
using host::viewArg;

using host::kIpad;
using host::startupBlock;

void setUp() {
  static bool done = false;
  if (done) return;
  done = true;
  host::start();
  gBase = host::scratch();
  const wchar_t* dirs[] = {L"empty", L"onlynode", L"both", L"x", L"x\\lib", L"y", L"y\\Lib",
                           L"broken", L"partial"};
  for (const wchar_t* d : dirs) CreateDirectoryW((gBase + d).c_str(), nullptr);
  struct Copy { const wchar_t* to; } copies[] = {
      {L"onlynode\\node.dll"}, {L"both\\miniblink_4957_x32.dll"},
      {L"both\\miniblink_4949_x32.dll"}, {L"x\\node.dll"}, {L"y\\node.dll"}};
  for (const Copy& c : copies) CopyFileW(host::doublePath().c_str(), (gBase + c.to).c_str(), FALSE);
  CopyFileW(host::partialDoublePath().c_str(), (gBase + L"partial\\node.dll").c_str(), FALSE);
  // Not a DLL at all: the name is right, loading fails.
  HANDLE f = CreateFileW((gBase + L"broken\\node.dll").c_str(), GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, "not a DLL\r\n", 11, &written, nullptr);
  CloseHandle(f);
  gParent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 1400, 900, nullptr,
                            nullptr, nullptr, nullptr);
}

std::string dir(const wchar_t* sub) { return host::toGbk(gBase + sub + L"\\"); }

rt::LiveObject* createView(const std::vector<uint8_t>& block, uint32_t componentId) {
  return host::createView(gParent, componentId, block);
}

rt::Value intArg(int32_t i) {
  rt::Value v{};
  v.i = i;
  v.tag = rt::kTagInt;
  return v;
}

rt::Value textArg(const char* s) {
  rt::Value v{};
  v.text = s;
  v.tag = rt::kTagText;
  return v;
}

wkeWebView webView() {
  rt::Value r{};
  rt::Value a[] = {viewArg()};
  web::GetWebViewHandle(&r, 1, a);
  return reinterpret_cast<wkeWebView>(uintptr_t(r.u));
}

bool logHas(const std::string& line) {
  return ("\n" + host::doubleLog()).find("\n" + line + "\n") != std::string::npos;
}

int32_t writeProperty(int32_t index, rt::PropValue value) {
  auto fn = reinterpret_cast<rt::PropertyChangedFn>(kBrowserLibrary.types[4].iface(rt::kOpPropertyChanged));
  return fn(gView, index, &value, nullptr);
}

rt::PropValue textValue(const char* s) {
  rt::PropValue v{};
  v.text = s;
  return v;
}

TEST(BrowserLoader, NoEngineShowsTheNotFoundBoxOnEveryAttempt) {
  setUp();
  host::setRunDirectory(dir(L"empty"));
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    EXPECT_EQ(createView(startupBlock(), kComponentId), nullptr);
    std::vector<Box> boxes = host::takeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"错误");
    EXPECT_EQ(boxes[0].text.substr(0, 30), L"请把\"miniblink_4975_x32.dll\"\r\n或者");
    EXPECT_NE(boxes[0].text.find(L"放在[" + gBase + L"empty\\]这个目下"), std::wstring::npos);
  }
  EXPECT_TRUE(web::enginePath().empty());
}

TEST(BrowserLoader, CandidateOrderAndLibRule) {
  setUp();
  struct Case {
    const wchar_t* runDir;
    const wchar_t* expected;   // null: not found
  };
  const Case cases[] = {
      {L"onlynode", L"onlynode\\node.dll"},
      {L"both", L"both\\miniblink_4957_x32.dll"},
      {L"x\\lib", L"x\\node.dll"},
      {L"y\\Lib", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(host::toGbk(c.runDir));
    host::setRunDirectory(dir(c.runDir));
    bool found = web::LocateEngine();
    std::vector<Box> boxes = host::takeBoxes();
    if (c.expected) {
      EXPECT_TRUE(found);
      EXPECT_EQ(web::enginePath(), gBase + c.expected);
      EXPECT_TRUE(boxes.empty());
    } else {
      EXPECT_FALSE(found);
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_NE(boxes[0].text.find(L"[" + gBase + L"y\\Lib\\]"), std::wstring::npos);
    }
  }
}

// An engine that cannot be used says why, every time a view is attempted,
// and is let go, so a repaired one is taken up by the next attempt.
TEST(BrowserLoader, UnusableEngineIsReportedAndTriedAgain) {
  setUp();
  struct Case {
    const wchar_t* runDir;
    std::vector<std::wstring> captions;   // boxes in order
    const wchar_t* says;                  // in the last box
    int attempts;
  };
  const Case cases[] = {
      {L"broken", {L"错误"}, L"错误码 = ", 2},
      {L"partial",
       {L"" DOUBLE_MISSING_FIRST, L"" DOUBLE_MISSING_SECOND, L"wkeCreateWebWindow",
        L"wkeGetWindowHandle", L"错误"},
       L"缺少 wkeCreateWebWindow 或 wkeGetWindowHandle", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(host::toGbk(c.runDir));
    host::setRunDirectory(dir(c.runDir));
    std::wstring dll = gBase + c.runDir + L"\\node.dll";
    ASSERT_TRUE(web::LocateEngine());   // the second attempt locates by itself
    for (int attempt = 0; attempt < c.attempts; ++attempt) {
      SCOPED_TRACE(attempt);
      EXPECT_EQ(createView(startupBlock(), kComponentId), nullptr);
      std::vector<Box> boxes = host::takeBoxes();
      ASSERT_EQ(boxes.size(), c.captions.size());
      for (size_t i = 0; i < boxes.size(); ++i) EXPECT_EQ(boxes[i].caption, c.captions[i]);
      EXPECT_NE(boxes.back().text.find(L"[" + dll + L"]"), std::wstring::npos);
      EXPECT_NE(boxes.back().text.find(c.says), std::wstring::npos);
      EXPECT_EQ(GetModuleHandleW(dll.c_str()), nullptr);   // not kept loaded
      EXPECT_TRUE(web::enginePath().empty());
    }
  }
}

TEST(BrowserLoader, MissingExportsGiveOneBoxEachAndTheViewIsCreated) {
  setUp();
  host::setRunDirectory(dir(L"onlynode"));
  ASSERT_TRUE(web::LocateEngine());
  gView = createView(startupBlock(), kComponentId);
  std::vector<Box> boxes = host::takeBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, L"" DOUBLE_MISSING_FIRST);
  EXPECT_EQ(boxes[1].caption, L"" DOUBLE_MISSING_SECOND);
  for (const Box& b : boxes) EXPECT_EQ(b.text, L"wke api not found");
  ASSERT_NE(gView, nullptr);
  EXPECT_EQ(web::gEngine.wkeGC, nullptr);
  EXPECT_NE(web::gEngine.jsGetCallstack, nullptr);
  EXPECT_EQ(gView->windowId, kWindowId);
  EXPECT_EQ(gView->typeCode, rt::kTypeBrowserView);
  EXPECT_TRUE(IsWindow(HWND(gView->hwnd)));
  std::string log = host::doubleLog();
  EXPECT_NE(log.find("wkeInitializeEx zero\n"), std::string::npos);
  EXPECT_NE(log.find("wkeCreateWebWindow 2 0 0 1335 800\nwkeShowWindow 1\nwkeSetTransparent 0\n"
                     "wkeSetCspCheckEnable 0\nwkeSetNpapiPluginsEnabled 1\n"
                     "wkeSetNavigationToNewWindowEnable 1\n"),
            std::string::npos);
  EXPECT_TRUE(logHas(std::string("wkeSetUserAgent ") + kIpad));
  // The sixteen registrations in their order, then the new-window setting.
  const char* order[] = {"wkeOnDocumentReady2", "wkeOnTitleChanged", "wkeOnURLChanged2",
                         "wkeOnNavigation", "wkeOnCreateView", "wkeOnLoadingFinish",
                         "wkeOnConsole", "wkeOnAlertBox", "wkeOnConfirmBox", "wkeOnPromptBox",
                         "wkeOnDownload", "wkeOnLoadUrlBegin", "wkeOnLoadUrlEnd",
                         "wkeOnMouseOverUrlChanged", "wkeOnWindowClosing", "wkeOnWindowDestroy"};
  std::string expected;
  for (const char* n : order) expected += std::string(n) + "\n";
  expected += "wkeSetNavigationToNewWindowEnable 0\n";
  EXPECT_NE(log.find(expected), std::string::npos);
}

TEST(BrowserView, PropertyWrites) {
  setUp();
  ASSERT_NE(gView, nullptr);
  auto read = reinterpret_cast<rt::GetPropertyDataFn>(kBrowserLibrary.types[4].iface(rt::kOpGetPropertyData));
  host::doubleReset();
  writeProperty(6, textValue("iPhone X"));
  rt::PropValue out{};
  ASSERT_EQ(read(gView, 6, &out), 1);
  EXPECT_NE(std::string(out.text).find("iPhone OS 11_0"), std::string::npos);
  EXPECT_EQ(host::doubleLog(), std::string("wkeSetUserAgent ") + out.text + "\nwkeReload\n");

  host::doubleReset();
  writeProperty(6, textValue("ipad pro"));
  read(gView, 6, &out);
  EXPECT_STREQ(out.text, "ipad pro");

  host::doubleReset();
  writeProperty(0, textValue(nullptr));
  EXPECT_EQ(host::doubleLog(), "wkeLoadHTMLW [ ]\n");
  host::doubleReset();
  writeProperty(0, textValue("http://127.0.0.1/r"));
  EXPECT_EQ(host::doubleLog(), "wkeLoadURLW http://127.0.0.1/r\n");

  host::doubleReset();
  writeProperty(5, textValue("cookies"));
  writeProperty(4, textValue("D:\\store"));
  std::string onlynode = host::toGbk(gBase) + "onlynode\\";
  EXPECT_EQ(host::doubleLog(), "wkeSetCookieJarPath " + onlynode + "cookies\\\n"
                               "wkeSetLocalStorageFullPath D:\\store\\\n");
  rt::PropValue on{};
  on.i = 1;
  host::doubleReset();
  writeProperty(3, on);
  EXPECT_EQ(host::doubleLog(), "wkeSetCookieEnabled 0\n");
  EXPECT_EQ(read(gView, 9, &out), 0);
  EXPECT_EQ(read(gView, 7, &out), 0);  // design preview reads as unavailable
}

TEST(BrowserView, AllPropertyDataRoundTrips) {
  setUp();
  ASSERT_NE(gView, nullptr);
  writeProperty(0, textValue(nullptr));
  writeProperty(3, rt::PropValue{});
  writeProperty(4, textValue(nullptr));
  writeProperty(5, textValue(nullptr));
  writeProperty(6, textValue("iPad Pro"));
  auto all = reinterpret_cast<rt::GetAllPropertyDataFn>(kBrowserLibrary.types[4].iface(rt::kOpGetAllPropertyData));
  uint32_t size = 0;
  uint8_t* block = all(gView, &size);
  ASSERT_NE(block, nullptr);
  std::vector<uint8_t> expected = startupBlock();
  ASSERT_EQ(size, 148u);
  EXPECT_EQ(std::memcmp(block, expected.data(), 148), 0);
  HeapFree(GetProcessHeap(), 0, block);
}

TEST(BrowserView, EventsAndAnswers) {
  setUp();
  ASSERT_NE(gView, nullptr);
  wkeWebView wv = webView();
  ASSERT_NE(wv, nullptr);
  host::events().clear();
  host::answer() = {};
  DoubleCallback title = host::doubleCallback(wv, "wkeOnTitleChanged");
  ASSERT_NE(title.fn, nullptr);
  reinterpret_cast<wkeTitleChangedCallback>(title.fn)(wv, title.param, host::doubleString(L"试卷"));
  ASSERT_EQ(host::events().size(), 1u);
  EXPECT_EQ(host::events()[0].event, 1);
  ASSERT_EQ(host::events()[0].texts.size(), 1u);
  EXPECT_EQ(host::events()[0].texts[0], "试卷");

  DoubleCallback nav = host::doubleCallback(wv, "wkeOnNavigation");
  auto navigate = reinterpret_cast<wkeNavigationCallback>(nav.fn);
  struct Case {
    host::EventAnswer answer;
    bool allowed;
  };
  const Case cases[] = {{{false, 0, 0}, true}, {{true, 0, 0}, true}, {{true, 1, 1}, true},
                        {{true, 1, 0}, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.hasResult * 10 + int(c.answer.result));
    host::answer() = c.answer;
    EXPECT_EQ(navigate(wv, nav.param, 3, host::doubleString(L"http://a/")), c.allowed);
  }
  host::answer() = {};
  ASSERT_EQ(host::events().back().event, 3);
  EXPECT_EQ(host::events().back().ints, std::vector<int32_t>{3});

  // Request begins: false when no routine ran.
  DoubleCallback begin = host::doubleCallback(wv, "wkeOnLoadUrlBegin");
  EXPECT_FALSE(reinterpret_cast<wkeLoadUrlBeginCallback>(begin.fn)(wv, begin.param, "u", nullptr));
  host::answer() = {true, 0, 0};
  EXPECT_TRUE(reinterpret_cast<wkeLoadUrlBeginCallback>(begin.fn)(wv, begin.param, "u", nullptr));

  // New windows refused while AllowNewWindows is 0, without PopupCreating.
  host::events().clear();
  DoubleCallback create = host::doubleCallback(wv, "wkeOnCreateView");
  wkeWindowFeatures features = {10, 20, 300, 200, false, false, false, false, false, false, false};
  EXPECT_EQ(reinterpret_cast<wkeCreateViewCallback>(create.fn)(
                wv, create.param, 0, host::doubleString(L"http://p/"), &features),
            nullptr);
  EXPECT_TRUE(host::events().empty());
  host::answer() = {};
}

TEST(BrowserView, KeysAndCharacters) {
  setUp();
  ASSERT_NE(gView, nullptr);
  HWND hwnd = HWND(gView->hwnd);
  host::events().clear();
  host::doubleReset();
  host::answer() = {true, 1, 0};   // the key routine returns false
  SendMessageW(hwnd, WM_KEYDOWN, VK_F5, 0);
  EXPECT_EQ(host::doubleLog(), "wkeReload\n");   // swallowed, still reloads
  host::answer() = {true, 1, 65};
  host::doubleReset();
  SendMessageW(hwnd, WM_CHAR, 'z', 0);
  EXPECT_EQ(host::doubleLog(), "WM_CHAR 65\n");
  host::answer() = {true, 1, 0};
  host::doubleReset();
  SendMessageW(hwnd, WM_CHAR, 'z', 0);
  EXPECT_EQ(host::doubleLog(), "");
  host::answer() = {};
  host::doubleReset();
  SendMessageW(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(uint16_t(-5), 7));
  ASSERT_FALSE(host::events().empty());
  EXPECT_EQ(host::events().back().event, 14);
  EXPECT_EQ(host::events().back().ints[0], -5);
  EXPECT_EQ(host::events().back().ints[1], 7);
}

TEST(BrowserCommands, ScriptsSentToTheEngine) {
  setUp();
  ASSERT_NE(gView, nullptr);
  rt::Value r{};
  host::doubleReset();
  host::doubleSetResults("<html>页</html>", 0);
  rt::Value none{};
  rt::Value html[] = {viewArg(), none, none, none, none};
  web::GetElementHtml(&r, 5, html);
  ASSERT_NE(r.text, nullptr);
  EXPECT_STREQ(r.text, "<html>页</html>");
  HeapFree(GetProcessHeap(), 0, const_cast<char*>(r.text));
  EXPECT_EQ(host::doubleLog(),
            "wkeRunJSW return document.querySelectorAll('html')[0].outerHTML\n"
            "jsToString 4886718345\n");
  // A page script goes as it is, GBK widened; none runs nothing.
  rt::Value script[] = {viewArg(), textArg("return '页'+1")};
  for (int32_t argc : {1, 2}) {
    SCOPED_TRACE(argc);
    host::doubleReset();
    r = rt::Value{};
    web::RunPageScript(&r, argc, script);
    EXPECT_EQ(host::doubleLog(), argc == 1 ? ""   // the log is UTF-8
                                        : "wkeRunJSW return '\xE9\xA1\xB5'+1\njsToString 4886718345\n");
    EXPECT_STREQ(r.text ? r.text : "", argc == 1 ? "" : "<html>页</html>");
    if (r.text) HeapFree(GetProcessHeap(), 0, const_cast<char*>(r.text));
  }

  // Whether the page still loads is the engine's answer; without a view
  // the engine is not asked and the answer is no.
  const struct {
    int32_t argc, loading;
    int32_t want;
  } loads[] = {{1, 1, 1}, {1, 7, 1}, {1, 0, 0}, {0, 1, 0}};
  for (const auto& c : loads) {
    SCOPED_TRACE(c.argc * 10 + c.loading);
    host::doubleReset();
    host::doubleSetResults("", c.loading);
    r = rt::Value{};
    r.i = 5;
    web::IsPageLoading(&r, c.argc, script);
    EXPECT_EQ(r.i, c.want);
    EXPECT_EQ(host::doubleLog(), std::string(c.argc ? "wkeIsLoading\n" : ""));
    // Likewise whether the picture is ready, and a dirty one is asked for.
    host::doubleReset();
    r.i = 5;
    web::IsViewPictureReady(&r, c.argc, script);
    EXPECT_EQ(r.i, 1 - c.want);
    EXPECT_EQ(host::doubleLog(), std::string(!c.argc ? "" : c.want ? "wkeIsDirty\nwkeSetDirty 1\n" : "wkeIsDirty\n"));
  }

  uint32_t variable = 0;
  rt::Value var{};
  var.u = uint32_t(uintptr_t(&variable));
  var.tag = rt::kTypeFormFill;
  web::FormFillCreate(&r, 1, &var);
  ASSERT_NE(variable, 0u);
  rt::Value object{};
  object.u = variable;
  object.tag = rt::kTypeFormFill;
  rt::Value no{};
  no.tag = rt::kTagBool;
  rt::Value yes = no;
  yes.i = 1;
  host::doubleReset();
  rt::Value click[] = {object, intArg(int32_t(uintptr_t(webView()))), intArg(2), textArg(".next"), intArg(1)};
  web::ClickElement(&r, 5, click);
  rt::Value hide[] = {object, click[1], intArg(2), textArg(".bar"), intArg(1), no};
  web::SetElementVisible(&r, 6, hide);
  hide[5] = yes;
  web::SetElementVisible(&r, 6, hide);
  EXPECT_EQ(host::doubleLog(),
            "wkeRunJSW document.querySelectorAll('.next')[0].click()\n"
            "wkeRunJSW document.querySelectorAll('.bar')[0].style.display='none'\n"
            "wkeRunJSW document.querySelectorAll('.bar')[0].style.display='block'\n");
  web::FormFillDestroy(&r, 1, &var);
  EXPECT_EQ(variable, 0u);
  host::doubleReset();
  rt::Value empty = object;
  empty.u = 0;
  click[0] = empty;
  web::ClickElement(&r, 5, click);
  EXPECT_EQ(host::doubleLog(), "");

  rt::Value real{};
  real.f = 2.5f;
  real.tag = rt::kTagFloat;
  rt::Value device[] = {viewArg(), textArg("navigator.platform"), textArg("iPad"), none, none};
  rt::Value screen[] = {viewArg(), textArg("screen.width"), none, intArg(1024), real};
  rt::Value load[] = {viewArg(), textArg("http://127.0.0.1/读")};
  host::doubleReset();
  web::SetDeviceParameter(&r, 5, device);
  web::SetDeviceParameter(&r, 5, screen);
  web::LoadUrl(&r, 2, load);
  EXPECT_EQ(host::doubleLog(), "wkeSetDeviceParameter navigator.platform iPad 0 0\n"
                               "wkeSetDeviceParameter screen.width (null) 1024 250\n"
                               "wkeLoadURL http://127.0.0.1/读\n");
}

TEST(BrowserCommands, Utf8ToText) {
  setUp();
  const char utf8[] = "\xE4\xB8\x8B\xE8\xBD\xBD";   // 下载
  uint8_t bin[8 + 6];
  const uint32_t head[2] = {1, 6};
  std::memcpy(bin, head, 8);
  std::memcpy(bin + 8, utf8, 6);
  uint8_t emptyBin[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  rt::Value text = textArg(utf8);
  rt::Value bytes{};
  bytes.bin = bin;
  bytes.tag = rt::kTagBin;
  rt::Value none = bytes;
  none.bin = emptyBin;
  rt::Value address = intArg(int32_t(uintptr_t(utf8)));
  rt::Value wrong = intArg(0);
  wrong.tag = rt::kTagDouble;
  // A stray byte decodes to U+FFFD, which GBK lacks.
  rt::Value broken = textArg("\xE4\xB8\x8B\x80\xE8\xBD\xBD");
  struct Case {
    const char* name;
    rt::Value arg;
    const char* expected;   // null: empty text
  };
  const Case cases[] = {{"text", text, "下载"}, {"bytes", bytes, "下载"}, {"address", address, "下载"},
                        {"ill-formed", broken, "下?载"},
                        {"empty bytes", none, nullptr}, {"null address", intArg(0), nullptr},
                        {"double", wrong, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rt::Value r{};
    rt::Value a = c.arg;
    web::Utf8ToText(&r, 1, &a);
    if (c.expected) {
      ASSERT_NE(r.text, nullptr);
      EXPECT_STREQ(r.text, c.expected);
    } else {
      EXPECT_EQ(r.text, nullptr);
    }
  }
}

TEST(BrowserCommands, CaptureViewBitmap) {
  setUp();
  ASSERT_NE(gView, nullptr);
  struct Case {
    int32_t left, width;
    int32_t shift;
  };
  const Case cases[] = {{0, 0, 0}, {10, -1, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.left);
    rt::Value none{};
    rt::Value args[] = {viewArg(), c.left ? intArg(c.left) : none, none, intArg(c.width), none};
    rt::Value r{};
    web::CaptureViewBitmap(&r, 5, args);
    ASSERT_NE(r.bin, nullptr);
    uint32_t dims = 0, size = 0;
    std::memcpy(&dims, r.bin, 4);
    std::memcpy(&size, r.bin + 4, 4);
    EXPECT_EQ(dims, 1u);
    ASSERT_EQ(size, 4272054u);
    const uint8_t* file = r.bin + 8;
    uint32_t fileSize = 0;
    std::memcpy(&fileSize, file + 2, 4);
    EXPECT_EQ(fileSize, 4272054u);
    int mismatches = 0;
    for (int y = 0; y < 800; y += 7)
      for (int x = 0; x + c.shift < 1335; x += 5) {
        const uint8_t* p = file + 54 + (size_t(799 - y) * 1335 + x) * 4;
        uint32_t got = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        if (got != doublePattern(x + c.shift, y)) ++mismatches;
      }
    EXPECT_EQ(mismatches, 0);
    HeapFree(GetProcessHeap(), 0, r.bin);
  }
}

TEST(BrowserView, DestroyedViewIsNoLongerFound) {
  setUp();
  ASSERT_NE(gView, nullptr);
  DestroyWindow(HWND(gView->hwnd));
  EXPECT_EQ(webView(), nullptr);
  rt::Value r{};
  rt::Value none{};
  rt::Value args[] = {viewArg(), none, none, none, none};
  web::CaptureViewBitmap(&r, 5, args);
  EXPECT_EQ(r.bin, nullptr);
  std::vector<uint8_t> newer = startupBlock();
  newer[0] += 1;  // a newer version fails creation and registers nothing
  EXPECT_EQ(createView(newer, kComponentId), nullptr);
  EXPECT_EQ(webView(), nullptr);
  // Re-creating the component registers it again.
  gView = createView(startupBlock(), kComponentId);
  ASSERT_NE(gView, nullptr);
  EXPECT_NE(webView(), nullptr);
}

}  // namespace
