// The capture folder's name comes from the page title, which the page's
// author chooses; Windows refuses some characters in names and gives ".."
// and trailing dots a meaning of their own. The paper's PDF is named after
// the whole title under the same rules.
#pragma once
#include <cstddef>

namespace app {

// Makes a GBK name safe as one path component, in place: every character
// Windows refuses in file names (controls, < > : " / \ | ? *) and every
// trailing dot or space becomes "_", so the name can neither fail to be
// created nor climb out of its parent. Double-byte characters, whose second
// byte may be "\" or "|", are kept whole; a name without such characters is
// left byte for byte as it was. A device name (CON, NUL, COM1, ... with or
// without an extension), which would open the device instead of a file,
// gets "_" for its last letter. Null is left alone.
void MakeFolderNameSafe(char* name);

// Removes spaces, tabs and line breaks from both ends of a GBK text, in
// place, as a browser does with a page title. Null is left alone.
void TrimTitle(char* text);

// The most characters of a title that name the paper's PDF: with the run
// directory, the folder and ".pdf.part" the path stays within the 260
// characters Windows allows a plain path.
constexpr size_t kMaxFileTitleChars = 64;

// Cuts a GBK text after its first n characters, in place, as
// rt::gbkCutLength does. Null is left alone.
void CutToChars(char* text, size_t n);

}  // namespace app
