#include "engine/jar.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "engine/message.h"
#include "engine/session.h"

namespace engine {
namespace {

std::string dump(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

// Each line of text that parses as a JSON object.
template <typename Fn>
void eachObjectLine(std::string_view text, Fn fn) {
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
    Json j;
    if (!line.empty() && parseMessage(line, j) && j.is_object()) fn(j);
  }
}

bool isString(const Json& j, const char* key) {
  auto it = j.find(key);
  return it != j.end() && it->is_string();
}

// Persistent and not expired: a session cookie has no expiry (-1) or says so.
bool lasting(const Json& c, double now) {
  auto e = c.find("expires");
  if (e == c.end() || !e->is_number() || e->get<double>() <= now) return false;
  auto s = c.find("session");
  return s == c.end() || !s->is_boolean() || !s->get<bool>();
}

bool wellFormed(const Json& c) {
  return c.is_object() && isString(c, "name") && isString(c, "value") && isString(c, "domain") &&
         !c["domain"].get_ref<const std::string&>().empty();
}

}  // namespace

Json readCookieJar(std::string_view text, double nowSeconds) {
  Json out = Json::array();
  eachObjectLine(text, [&](Json& c) {
    if (wellFormed(c) && lasting(c, nowSeconds)) out.push_back(std::move(c));
  });
  return out;
}

std::string writeCookieJar(const Json& cookies, double nowSeconds, const std::set<std::string>& hosts) {
  std::string out;
  if (!cookies.is_array()) return out;
  for (const Json& c : cookies) {
    if (!wellFormed(c) || !lasting(c, nowSeconds)) continue;
    const std::string& domain = c["domain"].get_ref<const std::string&>();
    bool ours = false;
    for (const std::string& h : hosts) ours = ours || domainMatches(domain, h);
    if (ours) out += dump(c) + "\n";
  }
  return out;
}

bool domainMatches(std::string_view domain, std::string_view host) {
  if (!domain.empty() && domain[0] == '.') domain.remove_prefix(1);
  if (domain.empty() || host.size() < domain.size()) return false;
  for (size_t i = 0; i < domain.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(domain[i])) != host[host.size() - domain.size() + i]) return false;
  return host.size() == domain.size() || host[host.size() - domain.size() - 1] == '.';
}

std::string urlHost(std::string_view url) {
  size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return {};
  std::string_view rest = url.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
  std::string host;
  if (!rest.empty() && rest[0] == '[') {
    host = std::string(rest.substr(0, rest.find(']') + 1));  // an IPv6 address keeps its brackets
  } else {
    host = std::string(rest.substr(0, rest.find(':')));
  }
  for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return host;
}

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

}  // namespace

double httpDate(std::string_view text) {
  static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};
  int day = -1, month = -1, hour = -1, minute = 0, second = 0;
  int64_t year = -1;
  while (!text.empty()) {
    size_t end = text.find_first_of(" ,-\t");
    std::string_view word = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (word.empty()) continue;
    bool digits = std::isdigit(static_cast<unsigned char>(word[0])) != 0;
    if (digits && word.find(':') != std::string_view::npos) {
      if (std::sscanf(std::string(word).c_str(), "%d:%d:%d", &hour, &minute, &second) < 2) return -1;
    } else if (digits && word.size() <= 2 && day < 0) {
      day = std::atoi(std::string(word).c_str());
    } else if (digits) {
      year = std::atoll(std::string(word).c_str());
      if (word.size() == 2) year += year < 70 ? 2000 : 1900;
    } else {
      for (int i = 0; i < 12; ++i)
        if (word.size() >= 3 && sameWord(word.substr(0, 3), months[i])) month = i + 1;
    }
  }
  if (day < 1 || day > 31 || month < 1 || year < 1601 || year > 9999 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 60)
    return -1;
  return static_cast<double>(daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second);
}

Json parseSetCookie(std::string_view url, std::string_view line, double nowSeconds) {
  size_t semi = line.find(';');
  std::string_view pair = line.substr(0, semi);
  size_t eq = pair.find('=');
  if (eq == std::string_view::npos || trim(pair.substr(0, eq)).empty()) return nullptr;
  Json c = {{"name", std::string(trim(pair.substr(0, eq)))}, {"value", std::string(trim(pair.substr(eq + 1)))},
            {"url", std::string(url)}};
  double expires = -1, maxAge = 0;
  bool aged = false;
  std::string_view rest = semi == std::string_view::npos ? std::string_view() : line.substr(semi + 1);
  while (!rest.empty()) {
    size_t next = rest.find(';');
    std::string_view attr = rest.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
    size_t at = attr.find('=');
    std::string_view key = trim(attr.substr(0, at));
    std::string value(at == std::string_view::npos ? std::string_view() : trim(attr.substr(at + 1)));
    if (sameWord(key, "path") && !value.empty()) {
      c["path"] = value;
    } else if (sameWord(key, "domain") && !value.empty()) {
      c["domain"] = value;
    } else if (sameWord(key, "secure")) {
      c["secure"] = true;
    } else if (sameWord(key, "httponly")) {
      c["httpOnly"] = true;
    } else if (sameWord(key, "samesite")) {
      for (const char* kind : {"Strict", "Lax", "None"})
        if (sameWord(value, kind)) c["sameSite"] = kind;
    } else if (sameWord(key, "expires")) {
      expires = httpDate(value);
    } else if (sameWord(key, "max-age") && !value.empty() &&
               value.find_first_not_of("-0123456789") == std::string::npos) {
      aged = true;
      maxAge = std::atof(value.c_str());
    }
  }
  if (aged) expires = maxAge <= 0 ? 1 : nowSeconds + maxAge;
  if (expires >= 0) c["expires"] = expires;
  return c;
}

std::string cookieHeader(const Json& cookies) {
  std::string out;
  if (!cookies.is_array()) return out;
  for (const Json& c : cookies) {
    if (!c.is_object() || !isString(c, "name") || !isString(c, "value")) continue;
    if (!out.empty()) out += "; ";
    out += c["name"].get<std::string>() + "=" + c["value"].get<std::string>();
  }
  return out;
}

OriginItems readLocalStorage(std::string_view text) {
  OriginItems all;
  eachObjectLine(text, [&](Json& line) {
    auto items = line.find("items");
    if (!isString(line, "origin") || items == line.end() || !items->is_object()) return;
    Json kept = Json::object();
    for (auto& [key, value] : items->items())
      if (value.is_string()) kept[key] = std::move(value);
    all[line["origin"].get<std::string>()] = std::move(kept);
  });
  return all;
}

std::string writeLocalStorage(const OriginItems& all) {
  std::string out;
  for (const auto& [origin, items] : all)
    if (!origin.empty() && items.is_object() && !items.empty())
      out += dump(Json{{"origin", origin}, {"items", items}}) + "\n";
  return out;
}

Json itemsOf(const Json& entries) {
  Json items = Json::object();
  if (!entries.is_array()) return items;
  for (const Json& e : entries)
    if (e.is_array() && e.size() == 2 && e[0].is_string() && e[1].is_string()) items[e[0].get<std::string>()] = e[1];
  return items;
}

std::string storageOrigin(const Json& id) {
  if (!boolField(id, "isLocalStorage")) return {};
  if (isString(id, "securityOrigin") && !id["securityOrigin"].get_ref<const std::string&>().empty())
    return id["securityOrigin"].get<std::string>();
  if (!isString(id, "storageKey")) return {};
  std::string key = id["storageKey"].get<std::string>();
  if (!key.empty() && key.back() == '/') key.pop_back();
  return key;
}

std::string urlOrigin(std::string_view url) {
  size_t colon = url.find("://");
  if (colon == std::string_view::npos) return {};
  std::string scheme(url.substr(0, colon));
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (scheme != "http" && scheme != "https") return {};
  std::string_view rest = url.substr(colon + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
  std::string host = urlHost(url);
  if (host.empty()) return {};
  size_t close = rest.rfind(']');
  size_t portAt = rest.find(':', close == std::string_view::npos ? 0 : close);
  std::string_view port = portAt == std::string_view::npos ? std::string_view() : rest.substr(portAt + 1);
  bool usual = port.empty() || (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
  return scheme + "://" + host + (usual ? "" : ":" + std::string(port));
}

std::string restoreScript(const std::string& origin, const Json& items, const std::string& binding) {
  // Storage may be refused (an opaque origin, a sandboxed frame): then
  // nothing is put back and nothing reported.
  return "(()=>{const o=" + dump(origin) + ";if(location.origin!==o)return;const s=" + dump(items) +
         ";try{for(const k of Object.keys(s))if(localStorage.getItem(k)===null)localStorage.setItem(k,s[k]);}"
         "catch(e){return;}"
         "const f=globalThis." + binding + ";if(typeof f==='function')f('stored\\n'+o);})()";
}

}  // namespace engine
