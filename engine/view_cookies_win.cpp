// The browser's own cookie store, as the cookie exports see it through a view.
#include <ctime>

#include "engine/connection_win.h"
#include "engine/jar.h"
#include "engine/view_win.h"

namespace engine {

// The cookies of a reply; none for a failed or malformed one.
static Json cookieList(const Reply& r) {
  const Json& c = member(r.result, "cookies");
  return r.ok && c.is_array() ? c : Json::array();
}

std::string View::cookies() {
  if (url_.empty()) return {};
  Reply r = call("Network.getCookies", {{"urls", Json::array({url_})}});
  return r.ok ? cookieHeader(cookieList(r)) : std::string();
}

bool View::setCookie(const std::string& url, const std::string& line) {
  Json c = parseSetCookie(url.empty() ? url_ : url, line, static_cast<double>(std::time(nullptr)));
  if (c.is_null() || !live()) return false;
  Reply r = call("Network.setCookie", c);
  if (!r.ok || !boolField(r.result, "success", true)) engineLog("cookie not set: " + (r.ok ? line : r.error));
  return r.ok;
}

Json View::allCookies() {
  Session* s = Connection::get().session();
  Reply r = s && live() ? s->call("Storage.getCookies") : Reply{};
  return cookieList(r);
}

void View::deleteCookie(const Json& c) {
  call("Network.deleteCookies",
       {{"name", stringField(c, "name")}, {"domain", stringField(c, "domain")}, {"path", stringField(c, "path")}});
}

void View::clearCookies(bool sessionOnly) {
  if (!sessionOnly) {
    call("Network.clearBrowserCookies");
    return;
  }
  for (const Json& c : allCookies())
    if (boolField(c, "session")) deleteCookie(c);
}

}  // namespace engine
