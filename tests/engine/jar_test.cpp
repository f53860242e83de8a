#include "engine/jar.h"
#include "engine/message.h"

#include <gtest/gtest.h>

using engine::Json;

namespace {

const double kNow = 1800000000;  // 2027-01-15

// A cookie as Storage.getCookies gave it (captured from Chromium 156).
const char kLasting[] =
    R"({"name":"login","value":"alice","domain":"127.0.0.1","path":"/","expires":1900000000.5,"size":10,)"
    R"("httpOnly":false,"secure":false,"session":false,"sameSite":"Lax","priority":"Medium",)"
    R"("sourceScheme":"NonSecure","sourcePort":8123})";

}  // namespace

TEST(CookieJar, ReadsOnlyLastingWellFormedCookies) {
  std::string text = std::string(kLasting) + "\n" +
      // session cookie, expired, no domain, value not text, not an object, not JSON, cut off
      R"({"name":"s","value":"1","domain":"a.com","path":"/","expires":-1,"session":true})" "\n"
      R"({"name":"old","value":"1","domain":"a.com","path":"/","expires":1700000000})" "\n"
      R"({"name":"nod","value":"1","path":"/","expires":1900000000})" "\n"
      R"({"name":"num","value":5,"domain":"a.com","expires":1900000000})" "\n"
      "[1,2]\n\x01\xff garbage\n" R"({"name":"cut","value":"1","domain":"a.com","exp)" "\n"
      "\r\n" R"({"name":"b","value":"\ud800x","domain":".b.org","path":"/","expires":1900000000})";
  Json got = engine::readCookieJar(text, kNow);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], Json::parse(kLasting));  // goes back to the browser unchanged
  EXPECT_EQ(got[1]["name"], "b");            // a lone surrogate does not lose the line
  EXPECT_TRUE(engine::readCookieJar("", kNow).empty());
  EXPECT_TRUE(engine::readCookieJar(std::string(4096, '\0'), kNow).empty());
}

// A line nested too deep for the stack to copy or write is skipped, in
// either file, and the lines after it are read as usual.
TEST(CookieJar, SkipsLinesNestedTooDeep) {
  auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  for (int depth : {engine::kMaxNesting, 100000}) {
    SCOPED_TRACE(depth);
    std::string deep = nested(depth - 1);  // inside the line's own object
    std::string cookies =
        R"({"name":"deep","value":"1","domain":"a.com","path":"/","expires":1900000000,"x":)" + deep + "}\n" + kLasting;
    Json got = engine::readCookieJar(cookies, kNow);
    bool kept = depth <= engine::kMaxNesting;
    ASSERT_EQ(got.size(), kept ? 2u : 1u);
    EXPECT_EQ(got.back()["name"], "login");
    EXPECT_NO_THROW(engine::writeCookieJar(got, kNow, {"a.com", "127.0.0.1"}));
    std::string storage = R"({"origin":"http://a","items":{"k":"v"},"x":)" + deep + "}\n" +
                          R"({"origin":"http://b","items":{"k":"w"}})";
    EXPECT_EQ(engine::readLocalStorage(storage).size(), kept ? 2u : 1u);
  }
}

TEST(CookieJar, WritesLastingCookiesOfOurHostsAndReadsThemBack) {
  Json all = Json::parse(std::string("[") + kLasting + "," +
      R"({"name":"s","value":"1","domain":"127.0.0.1","path":"/","expires":-1,"session":true},)"
      R"({"name":"gone","value":"1","domain":"127.0.0.1","path":"/","expires":1700000000,"session":false},)"
      R"({"name":"sub","value":"2","domain":".example.com","path":"/","expires":1900000000,"session":false},)"
      R"({"name":"other","value":"3","domain":"someone-else.net","path":"/","expires":1900000000,"session":false}])");
  std::string text = engine::writeCookieJar(all, kNow, {"127.0.0.1", "www.example.com"});
  Json back = engine::readCookieJar(text, kNow);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0]["name"], "login");
  EXPECT_EQ(back[1]["name"], "sub");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  EXPECT_EQ(engine::writeCookieJar(all, kNow, {}), "");
  EXPECT_EQ(engine::writeCookieJar(Json::object(), kNow, {"127.0.0.1"}), "");
}

TEST(CookieJar, DomainsAndHosts) {
  struct Case { const char* domain; const char* host; bool match; } cases[] = {
      {"example.com", "example.com", true},   {".example.com", "www.example.com", true},
      {"Example.COM", "a.b.example.com", true}, {"example.com", "badexample.com", false},
      {"www.example.com", "example.com", false}, {".", "example.com", false},
      {"", "example.com", false},             {"127.0.0.1", "127.0.0.1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.domain) + " " + c.host);
    EXPECT_EQ(engine::domainMatches(c.domain, c.host), c.match);
  }
  struct Url { const char* url; const char* host; } urls[] = {
      {"http://127.0.0.1:8123/form?x=1", "127.0.0.1"}, {"https://User:pw@WWW.Example.com/", "www.example.com"},
      {"http://[::1]:80/x", "[::1]"},                  {"http://a.b#frag", "a.b"},
      {"about:blank", ""},                             {"data:text/html,<p>", ""},
  };
  for (const Url& u : urls) {
    SCOPED_TRACE(u.url);
    EXPECT_EQ(engine::urlHost(u.url), u.host);
  }
}

TEST(LocalStorageFile, KeepsOriginsAndSkipsWhatIsUnreadable) {
  engine::OriginItems all;
  all["http://127.0.0.1:8123"] = Json{{"login", "alice"}, {"note", "\xe4\xb8\x96\xe7\x95\x8c\n\"q\""}};
  all["https://b.org"] = Json{{"k", ""}};
  all["https://emptied.org"] = Json::object();  // a page that cleared its storage
  std::string text = engine::writeLocalStorage(all);
  text += "not json\n{\"origin\":\"x\",\"items\":[1]}\n{\"origin\":\"https://c.org\",\"items\":{\"n\":1,\"t\":\"v\"}}\n";
  engine::OriginItems back = engine::readLocalStorage(text);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back["http://127.0.0.1:8123"], all["http://127.0.0.1:8123"]);
  EXPECT_EQ(back["https://b.org"], all["https://b.org"]);
  EXPECT_EQ(back["https://c.org"], (Json{{"t", "v"}}));  // only text values are items
  EXPECT_TRUE(engine::readLocalStorage("{\"origin\":\"https://d.org\",\"it").empty());
}

TEST(LocalStorageFile, ItemsAndOriginsFromTheProtocol) {
  EXPECT_EQ(engine::itemsOf(Json::parse(R"([["a","1"],["b",""],["c",2],["d"],"e"])")), (Json{{"a", "1"}, {"b", ""}}));
  EXPECT_EQ(engine::itemsOf(Json()), Json::object());
  struct Case { const char* id; const char* origin; } cases[] = {
      {R"({"securityOrigin":"http://127.0.0.1:58693","storageKey":"http://127.0.0.1:58693/","isLocalStorage":true})",
       "http://127.0.0.1:58693"},
      {R"({"storageKey":"https://a.org/","isLocalStorage":true})", "https://a.org"},
      {R"({"securityOrigin":"https://a.org","isLocalStorage":false})", ""},
      {R"({"securityOrigin":"https://a.org"})", ""},
      {R"("https://a.org")", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(engine::storageOrigin(Json::parse(c.id)), c.origin);
  }
}

// The date forms a Set-Cookie header may carry; seconds worked out apart.
TEST(SetCookie, HttpDates) {
  struct Case { const char* text; double seconds; } cases[] = {
      {"Wed, 09 Dec 2026 19:42:40 GMT", 1796845360},
      {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777},
      {"Sun Nov  6 08:49:37 1994", 784111777},
      {"Tue, 19 Jan 2038 03:14:08 GMT", 2147483648},
      {"Thu, 29 Feb 2024 00:00:00 GMT", 1709164800},
      {"", -1},
      {"Wed, 09 Foo 2026 19:42:40 GMT", -1},
      {"Wed, 32 Dec 2026 19:42:40 GMT", -1},
      {"Wed, 09 Dec 2026 24:00:00 GMT", -1},
      {"Wed, 09 Dec 2026", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(engine::httpDate(c.text), c.seconds);
  }
}

TEST(SetCookie, LinesBecomeProtocolCookies) {
  const char* url = "http://127.0.0.1:8000/form";
  struct Case { const char* line; const char* cookie; } cases[] = {
      {"a=1", R"({"name":"a","value":"1","url":"http://127.0.0.1:8000/form"})"},
      {" sid = x y ; Path=/app; Domain=.example.com; Secure; HttpOnly; SameSite=lax",
       R"({"name":"sid","value":"x y","url":"http://127.0.0.1:8000/form","path":"/app","domain":".example.com",
           "secure":true,"httpOnly":true,"sameSite":"Lax"})"},
      {"k=v; Max-Age=60", R"({"name":"k","value":"v","url":"http://127.0.0.1:8000/form","expires":1060})"},
      {"k=v; max-age=60; expires=Wed, 09 Dec 2026 19:42:40 GMT",
       R"({"name":"k","value":"v","url":"http://127.0.0.1:8000/form","expires":1060})"},
      {"k=v; Expires=Wed, 09 Dec 2026 19:42:40 GMT",
       R"({"name":"k","value":"v","url":"http://127.0.0.1:8000/form","expires":1796845360})"},
      {"k=v; Max-Age=0", R"({"name":"k","value":"v","url":"http://127.0.0.1:8000/form","expires":1})"},
      {"k=; Max-Age=soon; Expires=never; SameSite=odd; Path=",
       R"({"name":"k","value":"","url":"http://127.0.0.1:8000/form"})"},
      {"k==v=", R"({"name":"k","value":"=v=","url":"http://127.0.0.1:8000/form"})"},
      {"", "null"},
      {"novalue", "null"},
      {" =v; Path=/", "null"},
      {";a=1", "null"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(engine::parseSetCookie(url, c.line, 1000), Json::parse(c.cookie));
  }
}

TEST(SetCookie, CookieHeaderOfProtocolCookies) {
  EXPECT_EQ(engine::cookieHeader(Json::parse(R"([{"name":"a","value":"1","domain":"x"},{"name":"b","value":""},
                                                 {"name":3,"value":"skip"},"skip",{"name":"c","value":"3"}])")),
            "a=1; b=; c=3");
  EXPECT_EQ(engine::cookieHeader(Json::object()), "");
}

// The origin a page at an address names as location.origin, and what the
// restore script for one origin carries.
TEST(LocalStorageFile, RestoresOnlyTheDocumentsOwnOrigin) {
  struct { const char* url; const char* origin; } urls[] = {
      {"http://127.0.0.1:8123/q?x#y", "http://127.0.0.1:8123"},
      {"HTTPS://User@Example.COM:443/a", "https://example.com"},
      {"http://a.org:80", "http://a.org"},
      {"https://a.org:80/", "https://a.org:80"},
      {"http://[::1]:8080/x", "http://[::1]:8080"},
      {"about:blank", ""}, {"file:///c:/x.html", ""}, {"data:text/html,x", ""}, {"http:///x", ""},
  };
  for (const auto& u : urls) {
    SCOPED_TRACE(u.url);
    EXPECT_EQ(engine::urlOrigin(u.url), u.origin);
  }
  std::string script = engine::restoreScript("http://a.org", Json{{"login", "alice"}}, "__paginet_0f");
  EXPECT_NE(script.find(R"(const o="http://a.org";if(location.origin!==o)return;)"), std::string::npos);
  EXPECT_NE(script.find(R"({"login":"alice"})"), std::string::npos);
  EXPECT_NE(script.find("globalThis.__paginet_0f;"), std::string::npos);
}
