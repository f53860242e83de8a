#include "engine/page_events.h"

#include <gtest/gtest.h>

namespace {

using engine::Event;
using engine::Json;
using engine::PageEvent;

Event event(const char* method, const char* params) { return Event{"S1", method, Json::parse(params)}; }

// Each event as Chromium sends it, and with members of the wrong type: the
// latter read as their defaults, and a pause or frame is still one.
TEST(PageEvent, ReadsFieldsAndDefaultsWrongTypes) {
  struct Case {
    const char* method;
    const char* params;
    PageEvent::Kind kind;
    const char* url;
    const char* requestId;
    int64_t number;  // frame ack, or file chooser node
    bool flag;       // error page, document request, canceled, started, user gesture
  } cases[] = {
      {"Fetch.requestPaused",
       R"({"requestId":"interception-1","request":{"url":"http://h/q"},"frameId":"F","resourceType":"Document"})",
       PageEvent::Paused, "http://h/q", "interception-1", 0, true},
      {"Fetch.requestPaused", R"({"requestId":5,"request":"u","resourceType":{},"frameId":[]})", PageEvent::Paused, "",
       "", 0, false},
      {"Fetch.requestPaused", "null", PageEvent::Paused, "", "", 0, false},
      {"Page.screencastFrame", R"({"data":"AAAA","sessionId":3})", PageEvent::Frame, "", "", 3, false},
      {"Page.screencastFrame", R"({"data":1,"sessionId":"3"})", PageEvent::Frame, "", "", 0, false},
      {"Page.frameNavigated", R"({"frame":{"id":"F","url":"http://h/","unreachableUrl":"http://h/"}})",
       PageEvent::Navigated, "http://h/", "", 0, true},
      {"Page.frameNavigated", R"({"frame":{"id":"C","parentId":"F","url":"http://h/i"}})", PageEvent::Other, "", "",
       0, false},
      {"Page.frameNavigated", R"({"frame":"F"})", PageEvent::Other, "", "", 0, false},
      {"Network.loadingFailed", R"({"requestId":"7.1","canceled":true})", PageEvent::RequestEnded, "", "7.1", 0, true},
      {"Network.loadingFailed", R"({"requestId":{},"canceled":"no"})", PageEvent::RequestEnded, "", "", 0, false},
      {"Page.windowOpen", R"({"url":"http://h/p","userGesture":true})", PageEvent::WindowOpen, "http://h/p", "", 0,
       true},
      {"Page.windowOpen", R"({"url":9,"userGesture":"yes","windowFeatures":"width=1"})", PageEvent::WindowOpen, "",
       "", 0, false},
      {"Page.fileChooserOpened", R"({"mode":"selectSingle","backendNodeId":12})", PageEvent::FileChooser, "", "", 12,
       false},
      {"Page.fileChooserOpened", R"({"backendNodeId":"12"})", PageEvent::FileChooser, "", "", 0, false},
      {"DOMStorage.domStorageItemAdded", R"({"storageId":{"securityOrigin":7,"isLocalStorage":"yes"}})",
       PageEvent::Other, "", "", 0, false},
      {"Page.loadEventFired", "7", PageEvent::Loaded, "", "", 0, false},
      {"Page.frameStartedLoading", R"({"frameId":"F"})", PageEvent::Loading, "", "", 0, true},
      {"Page.frameStoppedLoading", R"({"frameId":"F"})", PageEvent::Loading, "", "", 0, false},
      {"Page.frameStartedLoading", R"({"frameId":3})", PageEvent::Loading, "", "", 0, true},
      {"Page.lifecycleEvent", R"({"name":"load"})", PageEvent::Other, "", "", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.method) + " " + c.params);
    PageEvent ev;
    ASSERT_NO_THROW(ev = engine::readPageEvent(event(c.method, c.params)));
    EXPECT_EQ(ev.kind, c.kind);
    EXPECT_EQ(ev.url, c.url);
    EXPECT_EQ(ev.request.id, c.requestId);
    EXPECT_EQ(ev.kind == PageEvent::Frame ? ev.frameAck : ev.backendNodeId, c.number);
    bool flag = ev.kind == PageEvent::Navigated      ? ev.errorPage
                : ev.kind == PageEvent::Paused       ? ev.request.document
                : ev.kind == PageEvent::RequestEnded ? ev.request.canceled
                : ev.kind == PageEvent::Loading      ? ev.started
                                                     : ev.userGesture;
    EXPECT_EQ(flag, c.flag);
  }
}

TEST(PageEvent, ResponseStagePauseIsNoRequestStage) {
  for (const char* params : {R"({"requestId":"i","responseStatusCode":200})",
                             R"({"requestId":"i","responseErrorReason":"Failed"})"}) {
    SCOPED_TRACE(params);
    PageEvent ev = engine::readPageEvent(event("Fetch.requestPaused", params));
    EXPECT_EQ(ev.kind, PageEvent::Paused);
    EXPECT_FALSE(ev.request.requestStage);
  }
  EXPECT_TRUE(engine::readPageEvent(event("Fetch.requestPaused", R"({"requestId":"i"})")).request.requestStage);
}

// Where a binding call came from, and the contexts it is judged by.
TEST(PageEvent, ReadsContextsAndBindingCalls) {
  PageEvent c = engine::readPageEvent(event("Runtime.executionContextCreated",
      R"({"context":{"id":4,"origin":"http://h:8","name":"","auxData":{"isDefault":true,"type":"default","frameId":"F"}}})"));
  EXPECT_EQ(c.kind, PageEvent::ContextCreated);
  EXPECT_EQ(c.context.id, 4);
  EXPECT_EQ(c.context.origin, "http://h:8");
  EXPECT_EQ(c.context.frameId, "F");
  EXPECT_TRUE(c.context.isDefault);
  PageEvent odd = engine::readPageEvent(event("Runtime.executionContextCreated",
      R"({"context":{"id":"4","origin":1,"auxData":{"isDefault":"true","frameId":2}}})"));
  EXPECT_EQ(odd.kind, PageEvent::ContextCreated);
  EXPECT_EQ(odd.context.id, 0);
  EXPECT_EQ(odd.context.origin, "");
  EXPECT_FALSE(odd.context.isDefault);
  PageEvent b = engine::readPageEvent(event("Runtime.bindingCalled",
      R"({"name":"__paginet_00","payload":"title\nT","executionContextId":4})"));
  EXPECT_EQ(b.binding.name, "__paginet_00");
  EXPECT_EQ(b.binding.payload, "title\nT");
  EXPECT_EQ(b.binding.context, 4);
  EXPECT_EQ(engine::readPageEvent(event("Runtime.executionContextDestroyed", R"({"executionContextId":4})")).context.id, 4);
}

}  // namespace

// Streams may stay open for good; what a page shows is waited for.
TEST(PageEvent, PausedRequestsThatMayNeverEnd) {
  const struct {
    const char* type;
    bool lasting;
  } cases[] = {{"EventSource", true}, {"WebSocket", true}, {"Media", true}, {"Ping", true},
               {"CSPViolationReport", true}, {"Image", false}, {"XHR", false}, {"Fetch", false},
               {"Script", false}, {"Document", false}, {"", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const std::string params = std::string(R"({"requestId":"i","resourceType":")") + c.type + "\"}";
    EXPECT_EQ(engine::readPageEvent(event("Fetch.requestPaused", params.c_str())).request.lasting, c.lasting);
  }
}
