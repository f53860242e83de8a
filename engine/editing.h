// Editing the page as a browser's edit commands and context menu do.
#pragma once
#include <string>

namespace engine {

enum class EditCommand { SelectAll, Unselect, Copy, Cut, Paste, Delete, Undo, Redo };

// A function body giving the text a copy takes: the selection inside the
// focused field, or the page's selection. A password field gives "".
extern const char kSelectionScript[];

// A function body giving "1" when the focus is in a field that takes typed
// text, "0" otherwise, followed by the selection text (as kSelectionScript).
extern const char kEditStateScript[];

// A function body giving the caret's box in the page's CSS pixels as
// "x,y,w,h", or "" when nothing takes typed text. In a one-line field the
// text before the caret is measured; in others the selection's end is used.
extern const char kCaretScript[];

// Function bodies that give the page its window's blur or focus as the
// view's own focus goes and comes. The browser keeps the page focused (an
// unfocused headless page stops drawing), so blur is delivered here: the
// focused element is blurred and remembered, document.hasFocus() says
// false, and focus gives the element back.
extern const char kPageBlurScript[];
extern const char kPageFocusScript[];

// The function body that runs a command inside the page; "" for copy,
// cut and paste, which go through the system's clipboard instead.
const char* editScript(EditCommand c);

// A function body that puts text on the browser's own clipboard through a
// copy whose data it sets itself; needs a user gesture.
std::string offerTextScript(const std::string& text);

// Text the Windows way (CR LF: clipboard, boxes) and the page's way (LF).
std::string toClipboardLines(const std::string& text);
std::string fromClipboardLines(const std::string& text);

}  // namespace engine
