// What the engine keeps on disk for a browser it attaches to, whose profile
// is not its own: cookies and local storage, each a file of JSON lines.
#pragma once
#include <map>
#include <set>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace engine {

using Json = nlohmann::json;

// Cookie jar: one cookie object per line, as the protocol gives it
// ("name", "value", "domain", "path", "expires" in seconds since 1970, ...),
// so a line goes back to the browser unchanged. Only cookies that outlive a
// browser's restart are kept: session cookies end with the browser that
// holds them, as they do in a profile of our own.

// The cookies of a jar file, without lines that are no such cookie and
// without those expired by nowSeconds. Anything unreadable is no cookie.
Json readCookieJar(std::string_view text, double nowSeconds);
// The jar file for the persistent, unexpired cookies among cookies that
// belong to one of hosts.
std::string writeCookieJar(const Json& cookies, double nowSeconds, const std::set<std::string>& hosts);
// Whether a cookie for domain ("example.com" or ".example.com") is sent to
// host ("example.com", "www.example.com").
bool domainMatches(std::string_view domain, std::string_view host);
// The host of an address, lower case ("http://A.b:8/x" gives "a.b"); "" for
// addresses without one (about:, data:).
std::string urlHost(std::string_view url);

// A cookie as a page's response sets it ("name=value; Path=/; Max-Age=60;
// Domain=.example.com; Expires=<HTTP date>; Secure; HttpOnly; SameSite=Lax")
// for url, as the protocol's Network.setCookie parameters; null when the
// line names no cookie. Max-Age wins over Expires; an unreadable date makes
// a session cookie; Max-Age 0 or less gives an expiry long past, so the
// cookie goes.
Json parseSetCookie(std::string_view url, std::string_view line, double nowSeconds);
// Cookies of the protocol as a request's Cookie header: "a=1; b=2".
std::string cookieHeader(const Json& cookies);
// Seconds since 1970 of an HTTP date ("Wed, 09 Dec 2026 19:42:40 GMT", or
// the older forms with dashes or without a comma); -1 when unreadable.
double httpDate(std::string_view text);

// Local storage: one line per origin,
// {"origin":"http://127.0.0.1:8000","items":{"key":"value",...}}.
using OriginItems = std::map<std::string, Json>;  // origin to an object of items

// The origins of a local storage file; unreadable lines are skipped.
OriginItems readLocalStorage(std::string_view text);
std::string writeLocalStorage(const OriginItems& all);
// The items of DOMStorage entries ([[key, value], ...]) as one object.
Json itemsOf(const Json& entries);
// The origin a DOMStorage id names: its securityOrigin, else its storageKey
// without the closing slash; "" for session storage or none.
std::string storageOrigin(const Json& storageId);
// The origin of an http or https address ("http://a.b:8"), as a page
// there names it: scheme and host in lower case, a default port left out;
// "" for other addresses, whose pages keep no local storage of ours.
std::string urlOrigin(std::string_view url);
// A script for every new document of origin: puts back the kept items that
// its storage lacks (what the page set since stays), then reports the origin
// restored through the binding ("stored\n" + origin). Documents of other
// origins (frames) get nothing, and the script holds no other origin's items.
std::string restoreScript(const std::string& origin, const Json& items, const std::string& binding);

}  // namespace engine
