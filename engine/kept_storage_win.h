// Cookies and local storage for a browser the engine attaches to through an
// endpoint. That browser's profile is not ours: a sign-in made in a view
// would be lost with it. So what the pages store is kept in files in the
// folders the application names, and put back into the browser attached to
// next time. A browser the engine starts keeps both in its own profile.
#pragma once
#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "engine/jar.h"
#include "engine/session.h"

namespace engine {

class Keeper {
 public:
  // How the keeper reaches the browser, set by its owner: the live session,
  // or nullptr while there is none.
  struct Link {
    std::function<Session*()> session;
  };
  explicit Keeper(Link link) : link_(std::move(link)) {}
  // The folder named for cookies or for local storage. Each kind is kept in
  // the other's folder while only that one is named.
  void nameCookies(const std::wstring& dir);
  void nameLocalStorage(const std::wstring& dir);
  // A new browser session, attached to a given endpoint or not. The kept
  // cookies go into an attached browser at once (or once a folder is named),
  // the kept items into each page of their origin.
  void connected(bool attached);
  // Attached, with a folder: views report what their pages store.
  bool active() const { return attached_ && !(cookies_.empty() && local_.empty()); }
  // A page's request: cookies for its host are worth keeping.
  void noteRequest(const std::string& url);
  // Writes the browser's lasting cookies for the hosts our pages used.
  void saveCookies();
  // What origin's local storage holds now (DOMStorage entries).
  void keepItems(const std::string& origin, const Json& entries);
  // A page put back the kept items of origin: later documents of this
  // browser leave its storage to the pages.
  void restored(const std::string& origin);
  // The script putting back origin's kept items not yet restored, which
  // reports through binding; "" when there are none. version() changes
  // whenever what is pending does.
  std::string script(const std::string& origin, const std::string& binding) const;
  int version() const { return version_; }

 private:
  std::wstring cookieDir() const { return cookies_.empty() ? local_ : cookies_; }
  std::wstring storageDir() const { return local_.empty() ? cookies_ : local_; }
  void load();  // what the named folders hold, once per folder and browser
  void noteHost(const std::string& host);
  Link link_;
  bool attached_ = false;
  std::wstring cookies_, local_;            // the folders as named
  std::wstring cookiesFrom_, itemsFrom_;    // where the loaded ones came from
  std::string cookieFile_, storageFile_;    // what those files hold
  std::set<std::string> hosts_;             // hosts whose cookies are ours
  OriginItems kept_;                        // as in the file
  OriginItems pending_;                     // kept, not yet put back in this browser
  int version_ = 0;
};

}  // namespace engine
