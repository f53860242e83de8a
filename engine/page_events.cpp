#include "engine/page_events.h"

#include "engine/jar.h"

namespace engine {
namespace {

using Kind = PageEvent::Kind;

void readPaused(const Json& p, PageEvent& ev) {
  ev.url = stringField(member(p, "request"), "url");
  ev.request.id = stringField(p, "requestId");
  ev.request.networkId = stringField(p, "networkId");
  ev.request.frameId = stringField(p, "frameId");
  const std::string type = stringField(p, "resourceType");
  ev.request.document = type == "Document";
  // Event streams, sockets, media and beacons may rightly never end; a page
  // holding one open has not for that reason stopped loading.
  ev.request.lasting = type == "EventSource" || type == "WebSocket" || type == "Media" || type == "Ping" ||
                       type == "CSPViolationReport";
  // The response stage is never asked for; a pause in it is let through.
  ev.request.requestStage = member(p, "responseStatusCode").is_null() && member(p, "responseErrorReason").is_null();
}

void readContext(const Json& c, PageEvent& ev) {
  ev.context.id = intField(c, "id");
  ev.context.origin = stringField(c, "origin");
  const Json& aux = member(c, "auxData");
  ev.context.frameId = stringField(aux, "frameId");
  ev.context.isDefault = boolField(aux, "isDefault");
}

}  // namespace

PageEvent readPageEvent(const Event& e) {
  PageEvent ev;
  const Json& p = e.params;
  const std::string& m = e.method;
  if (m == "Page.screencastFrame") {
    ev.kind = Kind::Frame;
    ev.frameData = stringField(p, "data");
    ev.frameAck = intField(p, "sessionId");
  } else if (m == "Page.frameNavigated") {
    const Json& frame = member(p, "frame");
    if (!frame.is_object() || frame.contains("parentId")) return ev;
    ev.kind = Kind::Navigated;
    ev.url = stringField(frame, "url");
    ev.errorPage = frame.contains("unreachableUrl");
  } else if (m == "Page.navigatedWithinDocument") {
    ev.kind = Kind::WithinDocument;
    ev.url = stringField(p, "url");
  } else if (m == "Page.frameStartedLoading" || m == "Page.frameStoppedLoading") {
    ev.kind = Kind::Loading;
    ev.frameId = stringField(p, "frameId");
    ev.started = m == "Page.frameStartedLoading";
  } else if (m == "Page.domContentEventFired") {
    ev.kind = Kind::DomReady;
  } else if (m == "Page.loadEventFired") {
    ev.kind = Kind::Loaded;
  } else if (m == "Runtime.consoleAPICalled") {
    ev.kind = Kind::Console;
    ev.console = readConsoleCall(p);
  } else if (m == "Runtime.exceptionThrown") {
    ev.kind = Kind::Console;
    ev.console = readException(p);
  } else if (m == "Network.loadingFinished" || m == "Network.loadingFailed") {
    ev.kind = Kind::RequestEnded;
    ev.request.id = stringField(p, "requestId");
    ev.request.failed = m == "Network.loadingFailed";
    ev.request.errorText = stringField(p, "errorText");
    ev.request.canceled = boolField(p, "canceled") || ev.request.errorText == "net::ERR_ABORTED";
  } else if (m == "Page.javascriptDialogOpening") {
    ev.kind = Kind::Dialog;
    ev.url = stringField(p, "url");
    ev.dialog.type = stringField(p, "type");
    ev.dialog.message = stringField(p, "message");
    ev.dialog.defaultPrompt = stringField(p, "defaultPrompt");
  } else if (m == "Fetch.requestPaused") {
    ev.kind = Kind::Paused;
    readPaused(p, ev);
  } else if (m == "Runtime.bindingCalled") {
    ev.kind = Kind::Binding;
    ev.binding.name = stringField(p, "name");
    ev.binding.payload = stringField(p, "payload");
    ev.binding.context = intField(p, "executionContextId");
  } else if (m.rfind("DOMStorage.domStorageItem", 0) == 0) {
    const Json& id = member(p, "storageId");
    ev.storageOrigin = storageOrigin(id);
    if (ev.storageOrigin.empty()) return ev;
    ev.kind = Kind::Storage;
    ev.storageId = id;
  } else if (m == "Page.fileChooserOpened") {
    ev.kind = Kind::FileChooser;
    ev.chooseMany = stringField(p, "mode") == "selectMultiple";
    ev.backendNodeId = intField(p, "backendNodeId");
  } else if (m == "Page.windowOpen") {
    ev.kind = Kind::WindowOpen;
    ev.url = stringField(p, "url");
    ev.userGesture = boolField(p, "userGesture");
    const Json& features = member(p, "windowFeatures");
    if (features.is_array())
      for (const Json& f : features)
        if (f.is_string()) ev.features.push_back(f.get<std::string>());
  } else if (m == "Inspector.targetCrashed" || m == "Inspector.detached") {
    ev.kind = Kind::Detached;
  } else if (m == "Runtime.executionContextCreated") {
    ev.kind = Kind::ContextCreated;
    readContext(member(p, "context"), ev);
  } else if (m == "Runtime.executionContextDestroyed") {
    ev.kind = Kind::ContextDestroyed;
    ev.context.id = intField(p, "executionContextId");
  } else if (m == "Runtime.executionContextsCleared") {
    ev.kind = Kind::ContextsCleared;
  }
  return ev;
}

}  // namespace engine
