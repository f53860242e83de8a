// Native boxes for a page's dialogs, modal to the view's top-level window.
#pragma once
#include <windows.h>

#include <string>

#include "engine/dialogs.h"

namespace engine {

// Shows the dialog and waits for the person. True for OK (an alert is
// always OK); answer holds the default text on entry and, for a prompt,
// what the person typed. The owner's window is disabled meanwhile, so the
// view takes no input.
bool askPerson(HWND view, DialogKind kind, const std::string& title, const std::string& text,
               std::string& answer);

}  // namespace engine
