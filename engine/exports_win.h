// What the files of the engine's C interface share: the export macro, the
// check of each definition against the binding list, the engine strings and
// what the interface keeps per view. Handles from the application are
// checked against the live views, so stale or foreign ones read as neutral.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "binding/engine_types.h"
#include "engine/real_exports.h"
#include "engine/view_win.h"
#include "engine/wide_win.h"

#define ENGINE_EXPORT extern "C" __declspec(dllexport)

// Declaring the typed entries of the list makes the compiler check each
// definition against it.
#define ENGINE_DECLARE(r, n, a) ENGINE_EXPORT r n a;
#define ENGINE_FN(r, n, a) ENGINE_PICK_TYPED(r, n)(ENGINE_DECLARE, ENGINE_SKIP)(r, n, a)
#include "binding/engine_api.inc"
#undef ENGINE_FN

// Engine strings handed to callbacks: UTF-8 with a UTF-16 copy made on demand.
struct EngineText {
  explicit EngineText(std::string s = {}) : utf8(std::move(s)) {}
  std::string utf8;
  std::wstring utf16;
  bool wide = false;
};

namespace engine {

struct Slot {
  void* fn = nullptr;
  void* param = nullptr;
};

enum SlotId {
  kDocumentReady, kTitle, kUrl, kNavigation, kCreateView, kLoadingFinish, kConsole, kAlert,
  kConfirm, kPrompt, kDownload, kUrlBegin, kUrlEnd, kHover, kClosing, kDestroy, kPaint, kSlotCount
};

// What the interface keeps for a view: the callbacks, the texts handed out
// and the user keys. Made on first use, freed with the view.
struct AppData {
  Slot slots[kSlotCount];
  std::string titleBuffer, urlBuffer, cookieBuffer;
  std::wstring titleBufferW, cookieBufferW;
  bool newWindows = true;
  std::map<std::string, void*> keys;  // wkeSetUserKeyValue
};

AppData& dataOf(View& v);

// What every view made here calls back with.
extern const AppCalls kAppCalls;

// A text the view hands out, kept in its buffer till the next call. get may
// wait on the browser, and a callback meanwhile may close the view.
template <typename Text, typename Get>
const typename Text::value_type* handOut(wkeWebView wv, Text AppData::*buffer, Get get) {
  static const Text none;
  View* v = View::find(wv);
  if (!v) return none.c_str();
  Text text = get(*v);
  if (View::find(wv) != v) return none.c_str();
  Text& kept = dataOf(*v).*buffer;
  kept = std::move(text);
  return kept.c_str();
}

}  // namespace engine
