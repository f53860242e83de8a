// The browser's cookie store, through a view.
#include "engine/connection_win.h"
#include "engine/exports_win.h"

using engine::AppData;
using engine::View;
using engine::handOut;
using engine::toUtf16;

ENGINE_EXPORT bool wkeIsCookieEnabled(wkeWebView wv) {
  View* v = View::find(wv);
  return v && v->cookiesEnabled();
}
ENGINE_EXPORT bool wkeCookieEnabled(wkeWebView wv) { return wkeIsCookieEnabled(wv); }
// The Cookie header of the page's address, "a=1; b=2".
ENGINE_EXPORT const char* wkeGetCookie(wkeWebView wv) {
  return handOut(wv, &AppData::cookieBuffer, [](View& v) { return v.cookies(); });
}
ENGINE_EXPORT const wchar_t* wkeGetCookieW(wkeWebView wv) {
  return handOut(wv, &AppData::cookieBufferW, [](View& v) { return toUtf16(v.cookies()); });
}
// cookie as a Set-Cookie header has it; url null or "" for the page's.
ENGINE_EXPORT void wkeSetCookie(wkeWebView wv, const char* url, const char* cookie) {
  if (View* v = View::find(wv); v && cookie) v->setCookie(url ? url : "", cookie);
}
ENGINE_EXPORT void wkeClearCookie(wkeWebView wv) {
  if (View* v = View::find(wv)) v->clearCookies(false);
}
// Each cookie of the browser, expires in seconds since 1970 (0 for a
// session cookie); a visitor returning true ends the walk.
typedef bool(ENGINE_CALL* wkeCookieVisitor)(void* params, const char* name, const char* value, const char* domain,
                                             const char* path, int secure, int httpOnly, int* expires);
ENGINE_EXPORT void wkeVisitAllCookie(wkeWebView wv, void* params, wkeCookieVisitor visitor) {
  View* v = View::find(wv);
  if (!v || !visitor) return;
  for (const engine::Json& c : v->allCookies()) {
    if (!c.is_object()) continue;
    const engine::Json& x = engine::member(c, "expires");
    double e = engine::boolField(c, "session") || !x.is_number() ? 0 : x.get<double>();
    int expires = e > 0 && e < 2147483647.0 ? static_cast<int>(e) : e > 0 ? 2147483647 : 0;
    if (visitor(params, engine::stringField(c, "name").c_str(), engine::stringField(c, "value").c_str(),
                engine::stringField(c, "domain").c_str(), engine::stringField(c, "path").c_str(),
                engine::boolField(c, "secure"), engine::boolField(c, "httpOnly"), &expires))
      break;
  }
}
// 0 clears every cookie, 1 the session cookies; 2 writes them to the kept
// file when the browser's profile is not ours (our own profile's browser
// writes its store itself); 3, reading them back, is what a new browser of
// ours does anyway.
ENGINE_EXPORT void wkePerformCookieCommand(wkeWebView wv, int command) {
  View* v = View::find(wv);
  if (!v) return;
  if (command == 0 || command == 1) v->clearCookies(command == 1);
  else if (command == 2) engine::Connection::get().keeper().saveCookies();
}
