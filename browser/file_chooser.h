// Diverts the open-file dialog of this process so that a page's file
// chooser raises FileChooserOpening on the first component view first.
#pragma once

namespace web {

struct View;

// Installs the patch once; the first component view becomes the target, and
// once that one is destroyed, the next component view registered.
void installFileChooser(View* view);
// A destroyed target stops receiving the event.
void forgetFileChooserView(View* view);

}  // namespace web
