// The capture folder's name comes from the page title, which the page's
// author chooses; Windows refuses some characters in names and gives ".."
// and trailing dots a meaning of their own.
#pragma once

namespace app {

// Makes a GBK name safe as one path component, in place: every character
// Windows refuses in file names (controls, < > : " / \ | ? *) and every
// trailing dot or space becomes "_", so the name can neither fail to be
// created nor climb out of its parent. Double-byte characters, whose second
// byte may be "\" or "|", are kept whole; a name without such characters is
// left byte for byte as it was. Null is left alone.
void MakeFolderNameSafe(char* name);

}  // namespace app
