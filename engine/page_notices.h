// What pages report through the engine's binding (title changes after load,
// the link under the mouse), and the window features of window.open.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// A name for the page binding a view's scripts report through, made of 16
// random bytes: a page cannot guess it.
std::string noticeBindingName(const uint8_t (&random)[16]);

// A start-up script for every document: reports each change of
// document.title, of the address of the link under the mouse and of the
// mouse cursor the page shows there ("pointer", "text", "default", ...)
// through the binding of that name.
std::string pageWatchScript(const std::string& binding);

struct PageNotice {
  enum Kind { None, Title, Hover, Cursor, Stored } kind = None;
  // UTF-8 title, address or cursor; "" when the mouse left a link; for
  // Stored, the origin whose kept local storage the page put back
  std::string text;
};

// Reads one binding payload; kind None for anything the script never sends.
PageNotice readPageNotice(std::string_view payload);

struct WindowRect {
  int x = 0, y = 0, width = 0, height = 0;  // 0 where the page gave none
};

// The position and size among window.open's features ("left=10", "width=300").
WindowRect readWindowFeatures(const std::vector<std::string>& features);

}  // namespace engine
