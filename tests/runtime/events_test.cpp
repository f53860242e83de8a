#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include "runtime/events.h"
#include "runtime/runtime_state.h"
#include "tests/runtime/report_exit.h"

namespace {

using W = uint32_t;
std::vector<std::string> gCalls;

// Routines take the full word list so no call mismatches its signature.
#define ROUTINE(name)                                                                     \
  void RT_CDECL name(rt::RoutineResult* r, W a0, W a1, W a2, W a3, W a4, W a5, W, W, W, W, W, \
                     W, W, W, W, W, W, W, W, W, W, W, W, W)
#define RECORD(tag)                                                                        \
  gCalls.push_back(std::string(tag) + " " + std::to_string(a0) + " " + std::to_string(a1) + \
                   " " + std::to_string(a2) + " " + std::to_string(a3) + " " +            \
                   std::to_string(a4) + " " + std::to_string(a5) + " src=" +              \
                   std::to_string(rt::state().sourceComponent))

ROUTINE(routineA) { RECORD("A"); }
ROUTINE(routineB) {
  RECORD("B");
  r->hasResult = 1;
  r->value[0] = 0;           // logical false: cancels the raiser's action
  r->value[1] = 0x77;
}
ROUTINE(routineNested) {
  RECORD("N");
  rt::EventRecord inner{};
  inner.windowId = 0x52010001;
  inner.componentId = 0x1601A001;
  inner.event = 1;
  rt::dispatchEvent(&inner);
  gCalls.push_back("after inner src=" + std::to_string(rt::state().sourceComponent));
}

uintptr_t addr(rt::AppRoutine f) { return reinterpret_cast<uintptr_t>(f); }

const rt::TypeRecord kTypes[3] = {
    {"窗口", "window", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 8, nullptr, nullptr, 0, nullptr},
    {"甲", "a", nullptr, 0, nullptr, 0x04, 0, 0, nullptr, 8, nullptr, nullptr, 0, nullptr},
    {"乙", "b", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 8, nullptr, nullptr, 0, nullptr},
};

// One live window (own record + three components of two types).
struct EventsTest : testing::Test {
  rt::LibraryRecord lib{};
  rt::LiveObject live{};
  void SetUp() override {
    gCalls.clear();
    lib.typeCount = 3;
    lib.types = kTypes;
    auto& s = rt::state();
    s.libraries = {{&lib, 0}};
    s.suppress = 0;
    s.sourceComponent = 0;
    rt::LoadedWindow w;
    w.id = 0x52010001;
    w.desc.records.resize(4);
    auto& own = w.desc.records[0];
    own.id = 0x06010000;
    own.typeCode = 0x10001;
    own.object = &live;
    own.events = {{3, 0, addr(routineA)}, {4, 0, 0}};
    auto& a = w.desc.records[1];
    a.id = 0x1601A001;
    a.typeCode = 0x10002;
    a.events = {{0, 0, addr(routineB)}, {1, 0, addr(routineA)}, {2, 0, addr(routineNested)}};
    auto& b = w.desc.records[2];   // shares the events of a (same type)
    b.id = 0x1601A002;
    b.typeCode = 0x10002;
    b.sharedLink = 0x1601A001;
    b.events = {{0, 0, addr(routineA)}};
    auto& c = w.desc.records[3];   // links to a record of another type
    c.id = 0x1601A003;
    c.typeCode = 0x10003;
    c.sharedLink = 0x1601A001;
    c.events = {{0, 0, addr(routineA)}};
    s.windows = {w};
  }
  void TearDown() override {
    rt::state().windows.clear();
    rt::state().libraries.clear();
  }
  rt::EventRecord event(uint32_t component, int32_t number, std::vector<int32_t> args = {}) {
    rt::EventRecord ev{};
    ev.windowId = 0x52010001;
    ev.componentId = component;
    ev.event = number;
    ev.argc = int32_t(args.size());
    for (size_t i = 0; i < args.size(); ++i) ev.args[i] = args[i];
    return ev;
  }
};

TEST_F(EventsTest, CallsTheBoundRoutineWithItsArguments) {
  rt::EventRecord ev = event(0x1601A001, 1, {1, -2, 3, 4, 5});
  EXPECT_EQ(rt::dispatchEvent(&ev), 1);
  ASSERT_EQ(gCalls.size(), 1u);
  EXPECT_EQ(gCalls[0], "A 1 4294967294 3 4 5 0 src=369205249");
  EXPECT_EQ(ev.hasResult, 0);
  EXPECT_EQ(rt::state().sourceComponent, 0u);  // cleared after the call
}

TEST_F(EventsTest, ReturnedValueIsStored) {
  rt::EventRecord ev = event(0x1601A001, 0);
  EXPECT_EQ(rt::dispatchEvent(&ev), 1);
  EXPECT_EQ(ev.hasResult, 1);
  EXPECT_EQ(ev.result, 0);
}

TEST_F(EventsTest, UnboundOrSuppressedRunsNothing) {
  struct Case { const char* what; uint32_t component; int32_t number; int32_t suppress; };
  const Case cases[] = {
      {"no pair for the number", 0x1601A001, 9, 0},
      {"pair with routine 0", 0x06010000, 4, 0},
      {"suppressed", 0x1601A001, 1, 1},
      {"suppressed twice", 0x06010000, 3, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rt::state().suppress = c.suppress;
    rt::EventRecord ev = event(c.component, c.number);
    EXPECT_EQ(rt::dispatchEvent(&ev), 0);
    EXPECT_TRUE(gCalls.empty());
  }
}

// A run-time error or ExitProgram on another thread raises the counter
// while the window thread raises and lowers it: no change may be lost.
TEST_F(EventsTest, SuppressionCounterKeepsEveryChangeAcrossThreads) {
  auto work = [] {
    for (int i = 0; i < 200000; ++i) {
      ++rt::state().suppress;
      rt::lowerSuppression();
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(rt::state().suppress, 0);
  rt::lowerSuppression();
  EXPECT_EQ(rt::state().suppress, 0) << "never below 0";
}

TEST_F(EventsTest, WindowEventsUseTheOwnRecordAsSource) {
  EXPECT_EQ(rt::raiseWindowEvent(0x52010001, 3, 0, nullptr), 1);
  ASSERT_EQ(gCalls.size(), 1u);
  EXPECT_EQ(gCalls[0], "A 0 0 0 0 0 0 src=100728832");
  rt::EventRecord ev = event(0, 3);   // component id 0 names the window
  EXPECT_EQ(rt::dispatchEvent(&ev), 1);
  EXPECT_EQ(gCalls[1], "A 0 0 0 0 0 0 src=100728832");
}

TEST_F(EventsTest, SharedEventLinksOnlyBetweenRecordsOfOneType) {
  rt::EventRecord viaLink = event(0x1601A002, 0);
  EXPECT_EQ(rt::dispatchEvent(&viaLink), 1);
  EXPECT_EQ(gCalls.at(0).substr(0, 1), "B");         // a's routine for event 0
  EXPECT_EQ(gCalls.at(0).substr(gCalls[0].find("src=")), "src=369205250");  // source stays b
  rt::EventRecord otherType = event(0x1601A003, 0);
  EXPECT_EQ(rt::dispatchEvent(&otherType), 1);
  EXPECT_EQ(gCalls.at(1).substr(0, 1), "A");         // its own table, not a's
}

TEST_F(EventsTest, NestedEventRestoresOuterSource) {
  rt::EventRecord ev = event(0x1601A001, 2);
  EXPECT_EQ(rt::dispatchEvent(&ev), 1);
  ASSERT_EQ(gCalls.size(), 3u);
  EXPECT_EQ(gCalls[2], "after inner src=369205249");
}

TEST_F(EventsTest, TypedArgumentsArePassedByTag) {
  rt::TypedEventRecord ev{};
  ev.windowId = 0x52010001;
  ev.componentId = 0x1601A001;
  ev.event = 1;
  ev.argc = 5;
  ev.args[0].value.w[0] = 0xFFFFFF80;
  ev.args[0].value.tag = rt::kTagByte;          // zero-extended byte: 128
  ev.args[1].value.w[0] = 0x0001FFFE;
  ev.args[1].value.tag = rt::kTagShort;         // sign-extended: -2
  ev.args[2].value.w[0] = 7;
  ev.args[2].value.w[1] = 8;
  ev.args[2].value.tag = rt::kTagDouble;        // both words
  ev.args[3].value.w[0] = 9;
  ev.args[3].value.w[1] = 10;
  ev.args[3].value.tag = rt::kTagDouble;
  ev.args[3].flags = 1;                         // by reference: low word only
  ev.args[4].value.w[0] = 11;
  ev.args[4].value.w[1] = 12;
  ev.args[4].value.tag = rt::kTagInt;
  EXPECT_EQ(rt::dispatchTypedEvent(&ev), 1);
  ASSERT_EQ(gCalls.size(), 1u);
  EXPECT_EQ(gCalls[0], "A 128 4294967294 7 8 9 11 src=369205249");
}

TEST_F(EventsTest, TypedResultTakesBothWords) {
  rt::TypedEventRecord ev{};
  ev.windowId = 0x52010001;
  ev.componentId = 0x1601A001;
  ev.event = 0;
  EXPECT_EQ(rt::dispatchTypedEvent(&ev), 1);
  EXPECT_EQ(ev.hasResult, 1);
  EXPECT_EQ(ev.result[0], 0u);
  EXPECT_EQ(ev.result[1], 0x77u);
}

TEST_F(EventsTest, MissingWindowOrComponentIsARunTimeError) {
  rt::EventRecord noWindow = event(0x1601A001, 1);
  noWindow.windowId = 0x52010009;
  EXPECT_EXIT(rt::dispatchEvent(&noWindow), testing::ExitedWithCode(kReportExitCode), "");
  rt::EventRecord noComponent = event(0x1601A0FF, 1);
  EXPECT_EXIT(rt::dispatchEvent(&noComponent), testing::ExitedWithCode(kReportExitCode), "");
}

}  // namespace
