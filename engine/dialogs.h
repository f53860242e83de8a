// A page's dialogs as the person sees them when the application leaves them
// to the engine.
#pragma once
#include <string>

namespace engine {

enum class DialogKind { Alert, Confirm, Prompt, BeforeUnload };

// The kind of a protocol dialog type ("alert", "confirm", "prompt",
// "beforeunload"); an unknown type is shown as an alert, which only informs.
DialogKind dialogKind(const std::string& type);

// What a box for a dialog from the page at url shows as its title: the
// page's origin ("http://host:port"), or the whole address when it has
// none (about:blank, data:), cut to a title's length.
std::string dialogTitle(const std::string& url);

// The question a page that wants to keep the person asks; pages give no
// text of their own for it.
extern const char kLeavePageText[];

}  // namespace engine
