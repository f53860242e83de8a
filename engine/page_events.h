// What a view's page reports over DevTools, read into plain records first:
// the view acts on typed fields only, so no member of an unexpected type
// can throw while it acts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/console.h"
#include "engine/session.h"

namespace engine {

struct PageEvent {
  enum Kind {
    Other,             // nothing a view acts on
    Frame,             // Page.screencastFrame
    Navigated,         // the main frame committed a document
    WithinDocument,    // the main frame's address changed in place
    Loading,           // a frame started or stopped loading
    DomReady, Loaded,  // the main frame's DOMContentLoaded and load
    Console,           // a console call or an uncaught exception
    RequestEnded,      // Network.loadingFinished / loadingFailed
    Dialog,            // alert, confirm, prompt, beforeunload
    Paused,            // Fetch.requestPaused: always answered
    Binding,           // the page called a binding
    Storage,           // a local storage item changed
    FileChooser, WindowOpen, Detached,
    ContextCreated, ContextDestroyed, ContextsCleared,  // where scripts run
  };
  Kind kind = Other;

  std::string url;          // Navigated, WithinDocument, Paused, WindowOpen, Dialog
  std::string frameData;    // Frame: the picture, base64
  int64_t frameAck = 0;     // Frame: the number its acknowledgement names
  bool errorPage = false;   // Navigated: the browser's own error page
  std::string frameId;      // Loading
  bool started = false;     // Loading: it started, rather than stopped
  ConsoleLine console;      // Console

  struct Request {
    std::string id;            // requestId
    std::string networkId;     // Paused: the id its Network events use
    std::string frameId;       // Paused
    bool document = false;     // Paused: a document, not a sub-resource
    bool lasting = false;      // Paused: of a kind that may stay open for good (a stream)
    bool requestStage = true;  // Paused: before the response
    bool failed = false, canceled = false;  // RequestEnded
    std::string errorText;     // RequestEnded
  } request;

  struct {
    std::string type, message, defaultPrompt;
  } dialog;

  struct {
    std::string name, payload;
    int64_t context = 0;  // the execution context it came from
  } binding;

  std::string storageOrigin;  // Storage: a local storage origin, never ""
  Json storageId;             // Storage: as the browser names it

  bool userGesture = false;           // WindowOpen
  std::vector<std::string> features;  // WindowOpen
  bool chooseMany = false;            // FileChooser
  int64_t backendNodeId = 0;          // FileChooser: 0 when not given

  struct {
    int64_t id = 0;          // also ContextDestroyed
    std::string origin;      // as the browser names it; "" when not given
    std::string frameId;     // the frame it belongs to
    bool isDefault = false;  // the document's own world
  } context;
};

// Reads one event of a page's session. Events of other shapes than the
// browser's read as Other, or with the fields missing left empty.
PageEvent readPageEvent(const Event& e);

}  // namespace engine
