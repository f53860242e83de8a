#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <string>
#include "tests/components/harness_win.h"
#include "sound/sound.h"
#include "sound/wave_player.h"
#include "sound/midi_player.h"
#include "tests/sound/midi_stream_fake_win.h"
#include "tests/sound/wave_image.h"

using namespace harness;
using comp::ButtonProps;
using comp::EditBoxProps;
using comp::WindowProps;

namespace {

constexpr uint32_t kEditId = 0x1601D0B6, kHomeId = 0x1601A178, kCaptureId = 0x1601A14D;

struct Startup {
  rt::LiveObject* window = nullptr;
  rt::LiveObject* edit = nullptr;
  rt::LiveObject* home = nullptr;
  rt::LiveObject* capture = nullptr;
  HWND hwnd() const { return static_cast<HWND>(window->hwnd); }
};

WindowProps startupWindowProps() {
  WindowProps p;
  p.border = 1;
  p.maxBox = 1;
  p.caption = "Brenmoor Paginet试卷下载器 V3.0 -By:tn462917";
  return p;
}

// The startup window's own records, created as the loader does: window,
// then the components last record first with ids 110, 120, 140.
Startup makeStartup(int homeType = 0) {
  Startup s;
  s.window = create(rt::kTypeWindow, comp::writeWindowProps(startupWindowProps()), nullptr, 0,
                    {50, 50, 50 + 1365, 50 + 840}, kWindowRecord);
  HWND parent = static_cast<HWND>(s.window->hwnd);
  ButtonProps capture;
  capture.caption = "采集";
  s.capture = create(rt::kTypeButton, comp::writeButtonProps(capture), parent, 110, {360, 98, 510, 148},
                     kCaptureId, WS_TABSTOP);
  ButtonProps home;
  home.caption = "前往首页";
  home.type = homeType;
  s.home = create(rt::kTypeButton, comp::writeButtonProps(home), parent, 120, {511, 98, 661, 148}, kHomeId,
                  WS_TABSTOP);
  EditBoxProps edit;
  edit.content = "http://127.0.0.1/q?c=120HYBKI30C";
  s.edit = create(rt::kTypeEditBox, comp::writeEditBoxProps(edit), parent, 140, {664, 100, 1128, 148}, kEditId,
                  WS_TABSTOP);
  for (rt::LiveObject* o : {s.capture, s.home, s.edit}) ShowWindow(static_cast<HWND>(o->hwnd), SW_SHOWNA);
  ShowWindow(parent, SW_SHOW);
  SetForegroundWindow(parent);
  pump(50);
  return s;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    install();
    runtime().reset();
  }
  void TearDown() override {
    for (HWND h : created) if (IsWindow(h)) DestroyWindow(h);
    pump(0);
  }
  rt::LiveObject* track(rt::LiveObject* o) {
    if (o) created.push_back(static_cast<HWND>(o->hwnd));
    return o;
  }
  std::vector<HWND> created;
};

}  // namespace

TEST_F(WindowTest, StartupWindowIsCentredResizableWithBoxes) {
  Startup s = makeStartup();
  track(s.window);
  HWND h = s.hwnd();
  LONG style = GetWindowLongW(h, GWL_STYLE);
  EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  wchar_t cls[32];
  GetClassNameW(h, cls, 32);
  EXPECT_STREQ(L"WTWindow", cls);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(1365, r.right - r.left);
  EXPECT_EQ(840, r.bottom - r.top);
  EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 1365) / 2, r.left);
  EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 840) / 2, r.top);
  wchar_t text[64];
  GetWindowTextW(h, text, 64);
  EXPECT_STREQ(L"Brenmoor Paginet\u8bd5\u5377\u4e0b\u8f7d\u5668 V3.0 -By:tn462917", text);
  EXPECT_EQ(s.window, reinterpret_cast<rt::LiveObject*>(SendMessageW(h, rt::kMsgQueryObject, 0, 0)));
  EXPECT_EQ(comp::writeWindowProps(startupWindowProps()), allData(s.window));
}

TEST_F(WindowTest, EmptyCaptionWithoutControlBoxHasNoTitleBar) {
  WindowProps p;
  p.controlBox = 0;
  HWND h = static_cast<HWND>(track(create(rt::kTypeWindow, comp::writeWindowProps(p), nullptr, 0,
                                          {0, 0, 300, 200}, kWindowRecord))->hwnd);
  EXPECT_NE(WS_CAPTION, GetWindowLongW(h, GWL_STYLE) & WS_CAPTION);
  // A caption written later brings the title bar back.
  rt::LiveObject* w = reinterpret_cast<rt::LiveObject*>(SendMessageW(h, rt::kMsgQueryObject, 0, 0));
  setText(w, 8, "标题");
  EXPECT_EQ(WS_CAPTION, GetWindowLongW(h, GWL_STYLE) & WS_CAPTION);
}

// A maximised window reading position 3 runs in tests/wine/components_startup.sh:
// maximising in a process that has already shown many windows crashes
// Wine's X11 driver on a display without a window manager.

TEST_F(WindowTest, ChoicePropertiesClamp) {
  rt::LiveObject* w = track(create(rt::kTypeWindow, {}, nullptr, 0, {0, 0, 300, 200}, kWindowRecord));
  struct Case { int32_t property, written, stored; };
  const Case cases[] = {{9, 9, 6}, {9, -1, 0}, {12, 4, 3}, {12, -3, 0}, {14, 5, 2},
                        {28, 30, 29}, {28, -1, 0}, {28, 2, 2}, {9, 3, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property * 100 + c.written);
    EXPECT_EQ(0, set(w, c.property, c.written));
    EXPECT_EQ(c.stored, get(w, c.property));
  }
  // Border 3 is a tool window; border 0 has no frame at all.
  set(w, 9, 3);
  EXPECT_TRUE(GetWindowLongW(static_cast<HWND>(w->hwnd), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  set(w, 9, 0);
  LONG style = GetWindowLongW(static_cast<HWND>(w->hwnd), GWL_STYLE);
  EXPECT_EQ(0, style & (WS_CAPTION | WS_THICKFRAME));
}

TEST_F(WindowTest, EscapeClosesStartupWindow) {
  Startup s = makeStartup();
  HWND h = s.hwnd();
  SetFocus(static_cast<HWND>(s.edit->hwnd));
  runtime().reset();
  pressKey(static_cast<HWND>(s.edit->hwnd), VK_ESCAPE);
  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(h); }, 2000));
  const auto& ev = runtime().events;
  std::vector<int32_t> windowEvents;
  for (const Recorded& r : ev)
    if (r.componentId == kWindowRecord && r.event != -8 && r.event != 6 && r.event != 11) windowEvents.push_back(r.event);
  EXPECT_EQ((std::vector<int32_t>{12, 1, 2}), windowEvents);
  // Every component reports its destruction, the window last.
  const auto& d = runtime().destroyed;
  ASSERT_EQ(4u, d.size());
  EXPECT_EQ(kWindowRecord, d.back());
}

TEST_F(WindowTest, RefusedCloseKeepsTheWindow) {
  for (int32_t refused : {12, 1}) {
    SCOPED_TRACE(refused);
    Startup s = makeStartup();
    track(s.window);
    runtime().reset();
    runtime().refuseEvent = refused;
    SendMessageW(s.hwnd(), WM_CLOSE, 0, 0);
    pump(20);
    EXPECT_TRUE(IsWindow(s.hwnd()));
    EXPECT_EQ(refused == 12 ? 0 : 1, runtime().count(kWindowRecord, 1));
    EXPECT_EQ(0, runtime().count(kWindowRecord, 2));
    DestroyWindow(s.hwnd());
  }
}

TEST_F(WindowTest, EscapeDoesNothingWhenNotEnabled) {
  WindowProps p;
  p.escCloses = 0;
  rt::LiveObject* w = track(create(rt::kTypeWindow, comp::writeWindowProps(p), nullptr, 0,
                                   {0, 0, 300, 200}, kWindowRecord));
  HWND h = static_cast<HWND>(w->hwnd);
  ShowWindow(h, SW_SHOW);
  pressKey(h, VK_ESCAPE);
  pump(100);
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(0, runtime().count(kWindowRecord, 12));
}

TEST_F(WindowTest, ReturnClicksOnlyADefaultButton) {
  {
    Startup s = makeStartup();
    track(s.window);
    SetFocus(static_cast<HWND>(s.edit->hwnd));
    runtime().reset();
    pressKey(static_cast<HWND>(s.edit->hwnd), VK_RETURN);
    pump(150);
    EXPECT_EQ(0, runtime().count(kHomeId, 0));
    EXPECT_EQ(0, runtime().count(kCaptureId, 0));
    EXPECT_TRUE(IsWindow(s.hwnd()));
  }
  {
    // The same window with "前往首页" as the default button.
    Startup s = makeStartup(1);
    track(s.window);
    SetFocus(static_cast<HWND>(s.edit->hwnd));
    runtime().reset();
    pressKey(static_cast<HWND>(s.edit->hwnd), VK_RETURN);
    pump(150);
    EXPECT_EQ(1, runtime().count(kHomeId, 0));
    EXPECT_EQ(0, runtime().count(kCaptureId, 0));
  }
}

TEST_F(WindowTest, TabMovesFocusAndFocusEventsFollow) {
  Startup s = makeStartup();
  track(s.window);
  HWND edit = static_cast<HWND>(s.edit->hwnd);
  SetFocus(static_cast<HWND>(s.capture->hwnd));
  pump(20);
  runtime().reset();
  pressKey(static_cast<HWND>(s.capture->hwnd), VK_TAB);
  pump(100);
  HWND now = GetFocus();
  EXPECT_NE(static_cast<HWND>(s.capture->hwnd), now);
  EXPECT_TRUE(now == edit || now == static_cast<HWND>(s.home->hwnd));
  EXPECT_EQ(1, runtime().count(kCaptureId, -8));
}

TEST_F(WindowTest, FocusGoesToTheLastRecordAmongTabStops) {
  Startup s = makeStartup();
  track(s.window);
  SetFocus(nullptr);
  SetFocus(s.hwnd());
  pump(20);
  // Ids 110 (capture), 120 (home), 140 (edit): the lowest id is the
  // record nearest the end.
  EXPECT_EQ(static_cast<HWND>(s.capture->hwnd), GetFocus());
  EXPECT_GE(runtime().count(kWindowRecord, -7), 1);
}

TEST_F(WindowTest, NewerVersionFailsCreation) {
  std::vector<uint8_t> block = comp::writeWindowProps(WindowProps());
  block[0] = 7;
  EXPECT_EQ(nullptr, create(rt::kTypeWindow, block, nullptr, 0, {0, 0, 100, 100}, kWindowRecord));
  block.resize(20);  // truncated
  block[0] = 6;
  EXPECT_EQ(nullptr, create(rt::kTypeWindow, block, nullptr, 0, {0, 0, 100, 100}, kWindowRecord));
}

TEST_F(WindowTest, ClassNamePropertyAndMusic) {
  WindowProps p;
  p.className = "PaginetTestClass";
  p.music = "RIFF....WAVEfmt ";
  p.musicMode = 2;
  rt::LiveObject* w = track(create(rt::kTypeWindow, comp::writeWindowProps(p), nullptr, 0,
                                   {0, 0, 100, 100}, kWindowRecord));
  wchar_t cls[32];
  GetClassNameW(static_cast<HWND>(w->hwnd), cls, 32);
  EXPECT_STREQ(L"PaginetTestClass", cls);
  EXPECT_EQ(0, runtime().sounds);  // mode 2: not played
  set(w, 14, 1);
  EXPECT_EQ(1, runtime().sounds);
}

TEST_F(WindowTest, StartHandsTheRuntimeTheSoundCalls) {
  install();
  EXPECT_EQ(&snd::kSoundCalls, runtime().soundCalls);
}

namespace {

HHOOK gCreateHook;
const wchar_t* gDestroyClass;

// Destroys windows of one class as their WM_CREATE arrives, so creation
// fails after the window procedure has taken its object.
LRESULT CALLBACK destroyOnCreate(int code, WPARAM wp, LPARAM lp) {
  auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
  wchar_t cls[64];
  if (code == HC_ACTION && m->message == WM_CREATE && GetClassNameW(m->hwnd, cls, 64) &&
      lstrcmpW(cls, gDestroyClass) == 0)
    DestroyWindow(m->hwnd);
  return CallNextHookEx(gCreateHook, code, wp, lp);
}

}  // namespace

TEST_F(WindowTest, CreationUndoneAfterNcCreateFailsCleanly) {
  rt::LiveObject* host = track(create(rt::kTypeWindow, {}, nullptr, 0, {0, 0, 200, 200}, kWindowRecord));
  ASSERT_TRUE(host);
  struct Case { const wchar_t* cls; uint32_t type; HWND parent; };
  const Case cases[] = {
    {L"WTWindow", rt::kTypeWindow, nullptr},
    {L"_EL_Timer", rt::kTypeTimer, static_cast<HWND>(host->hwnd)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "class " << static_cast<const void*>(c.cls));
    runtime().reset();
    gDestroyClass = c.cls;
    gCreateHook = SetWindowsHookExW(WH_CALLWNDPROC, destroyOnCreate, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(gCreateHook);
    rt::LiveObject* o = create(c.type, {}, c.parent, 130, {0, 0, 50, 50}, 0x1601D0AC);
    UnhookWindowsHookEx(gCreateHook);
    EXPECT_EQ(nullptr, o);
    // The runtime never had the object, so it hears of no destruction.
    EXPECT_TRUE(runtime().destroyed.empty());
  }
  // Creation works again once the hook is gone.
  EXPECT_TRUE(track(create(rt::kTypeTimer, {}, static_cast<HWND>(host->hwnd), 130, {0, 0, 50, 50}, 0x1601D0AC)));
}

// Closing a window stops the player its music went to, and only that one.
TEST_F(WindowTest, MusicStopsWithItsWindowAndNothingElse) {
  ASSERT_TRUE(midifake::install());
  using sndtest::Bytes;
  const Bytes wave = sndtest::riffWave({{"fmt ", sndtest::pcmFormat()}, {"data", sndtest::countingSamples(44100)}});
  const Bytes midi = sndtest::midiFile(0, 96, {{0x00, 0x90, 0x3C, 0x64, 0x83, 0x60, 0x80, 0x3C, 0x40,
                                                0x00, 0xFF, 0x2F, 0x00}});
  struct Case {
    const char* name;
    const Bytes* music;
    int32_t mode;
    uint32_t wavesAfter;   // the looping prompt, unless the window's WAV stopped it
  };
  const Case cases[] = {
    {"MIDI looping", &midi, 0, 1},
    {"MIDI once", &midi, 1, 1},
    {"WAV not played", &wave, 2, 1},
    {"MIDI not played", &midi, 2, 1},
    {"WAV looping", &wave, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    midifake::reset(midifake::Device::kHolds);
    ASSERT_EQ(1, snd::PlaySoundData(wave.data(), uint32_t(wave.size()), 1));  // the voice prompt
    WindowProps p;
    p.music.assign(c.music->begin(), c.music->end());
    p.musicMode = c.mode;
    rt::LiveObject* w = create(rt::kTypeWindow, comp::writeWindowProps(p), nullptr, 0, {0, 0, 100, 100},
                               kWindowRecord);
    ASSERT_TRUE(w);
    bool midiPlays = c.music == &midi && c.mode != 2;
    EXPECT_EQ(midiPlays, pumpUntil([] { return snd::MidiPlayerRunning(); }, midiPlays ? 2000 : 100));
    DestroyWindow(static_cast<HWND>(w->hwnd));
    EXPECT_FALSE(snd::MidiPlayerRunning());
    pumpUntil([&] { return snd::LiveWavePlayerCount() == c.wavesAfter; }, 2000);
    pump(50);
    EXPECT_EQ(c.wavesAfter, snd::LiveWavePlayerCount());
    snd::StopWavePlayers(true);
    snd::StopMidi();
  }
}

namespace {

// Made-up component types: a child window that records the window's calls.
struct Probe {
  rt::LiveObject base;
  bool consume = false;
  std::vector<std::string> calls;
  int eventsBeforeShutdown = -1;   // window event 2 count when told to shut down
};

LRESULT CALLBACK probeProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == rt::kMsgQueryObject) return GetWindowLongPtrW(h, GWLP_USERDATA);
  return DefWindowProcW(h, msg, wp, lp);
}

int32_t RT_CALL probeFilter(rt::LiveObject* obj, void* m) {
  auto* p = reinterpret_cast<Probe*>(obj);
  auto* msg = static_cast<MSG*>(m);
  if (msg->message == WM_KEYDOWN) p->calls.push_back("filter " + std::to_string(msg->wParam));
  return p->consume && msg->message == WM_KEYDOWN;
}

void RT_CALL probeShutdown(rt::LiveObject* obj) {
  auto* p = reinterpret_cast<Probe*>(obj);
  p->calls.push_back("shutdown");
  p->eventsBeforeShutdown = runtime().count(kWindowRecord, 2);
}

void* RT_CALL probeInterface(int32_t op) {
  switch (op) {
    case rt::kOpMessageFilter: return reinterpret_cast<void*>(probeFilter);
    case rt::kOpShutdown: return reinterpret_cast<void*>(probeShutdown);
    default: return nullptr;
  }
}

// Type 1 filters and shuts down; type 2 offers the same operations without
// the type flags, so the window must not call them.
const rt::TypeRecord kProbeTypes[2] = {
  {"探针", "Probe", nullptr, 0, nullptr, rt::kTypeFlagWindowComponent | rt::kTypeFlagMessageFilter |
   rt::kTypeFlagShutdown, 0, 0, nullptr, 8, nullptr, probeInterface, 0, nullptr},
  {"探针2", "Probe2", nullptr, 0, nullptr, rt::kTypeFlagWindowComponent, 0, 0, nullptr, 8, nullptr,
   probeInterface, 0, nullptr},
};

Probe* makeProbe(HWND parent, uint32_t typeCode) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = probeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PaginetProbe";
  RegisterClassW(&wc);
  auto* p = new Probe();
  HWND h = CreateWindowExW(0, L"PaginetProbe", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 50, 20,
                           parent, reinterpret_cast<HMENU>(150), GetModuleHandleW(nullptr), nullptr);
  p->base = {h, kWindowId, 0x1601E001, typeCode, nullptr};
  SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
  return p;
}

}  // namespace

// The message filter comes before the window's own keys; the shutdown
// call comes before event 2. Both only for types with the flag.
TEST_F(WindowTest, FilterAndShutdownFollowTypeFlags) {
  setTestTypes(kProbeTypes, 2);
  struct Case { uint32_t type; bool consume; bool filtered, closed, shutDown; };
  const Case cases[] = {
    {0x20001, true, true, false, true},    // Escape consumed: the window stays
    {0x20001, false, true, true, true},    // seen, not consumed: Escape closes
    {0x20002, true, false, true, false},   // no flags: never asked
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.type << " consume " << c.consume);
    runtime().reset();
    rt::LiveObject* w = create(rt::kTypeWindow, {}, nullptr, 0, {0, 0, 300, 200}, kWindowRecord);
    ASSERT_TRUE(w);
    HWND h = static_cast<HWND>(w->hwnd);
    ShowWindow(h, SW_SHOW);
    std::unique_ptr<Probe> probe(makeProbe(h, c.type));
    probe->consume = c.consume;
    SetForegroundWindow(h);
    SetFocus(static_cast<HWND>(probe->base.hwnd));
    pressKey(static_cast<HWND>(probe->base.hwnd), VK_ESCAPE);
    pump(100);
    EXPECT_EQ(c.filtered, !probe->calls.empty() && probe->calls[0] == "filter 27");
    EXPECT_EQ(c.closed, !IsWindow(h));
    if (IsWindow(h)) DestroyWindow(h);
    bool shutDown = std::find(probe->calls.begin(), probe->calls.end(), "shutdown") != probe->calls.end();
    EXPECT_EQ(c.shutDown, shutDown);
    if (c.shutDown) EXPECT_EQ(0, probe->eventsBeforeShutdown) << "told before event 2";
    EXPECT_EQ(1, runtime().count(kWindowRecord, 2));
  }
  setTestTypes(nullptr, 0);
}
