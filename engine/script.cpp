#include "engine/script.h"

#include <cmath>
#include <cstdlib>

namespace engine {
namespace {

// Four hex digits at s[i..i+4) as a number, or -1.
int hex4(std::string_view s, size_t i) {
  if (i + 4 > s.size()) return -1;
  int v = 0;
  for (size_t k = i; k < i + 4; ++k) {
    char c = s[k];
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
          : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

std::string wrapFunctionBody(std::string_view body) {
  // The newline before the closing brace ends a trailing // comment.
  std::string s = "(async()=>{const v=await (function(){";
  s += body;
  s += "\n})();let t;"
       "if(v===undefined||v===null)t='';"
       "else if(typeof v==='string')t=v;"
       "else if(typeof v==='object'){try{t=JSON.stringify(v);}catch(e){}"
       "if(typeof t!=='string')t=String(v);}"
       "else t=String(v);"
       "if(t.toWellFormed)t=t.toWellFormed();"
       "const n=(typeof v==='number'||typeof v==='boolean')?Number(v):parseFloat(t);"
       "return {t:t,n:String(n)};})()";
  return s;
}

nlohmann::json functionBodyParams(std::string_view body, bool gesture) {
  return {{"expression", wrapFunctionBody(body)}, {"returnByValue", true}, {"awaitPromise", true},
          {"userGesture", gesture}};
}

int32_t toInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

ScriptResult readScriptResult(const nlohmann::json& reply) {
  ScriptResult r;
  if (!reply.is_object()) { r.error = "no result"; return r; }
  if (auto ex = reply.find("exceptionDetails"); ex != reply.end()) {
    const auto& d = *ex;
    if (d.contains("exception") && d["exception"].contains("description") &&
        d["exception"]["description"].is_string())
      r.error = d["exception"]["description"].get<std::string>();
    else if (d.contains("text") && d["text"].is_string())
      r.error = d["text"].get<std::string>();
    else
      r.error = "script threw";
    return r;
  }
  auto res = reply.find("result");
  if (res == reply.end() || !res->contains("value") || !(*res)["value"].is_object()) {
    r.error = "unexpected result shape";
    return r;
  }
  const auto& v = (*res)["value"];
  if (!v.contains("t") || !v["t"].is_string() || !v.contains("n") || !v["n"].is_string()) {
    r.error = "unexpected result shape";
    return r;
  }
  r.ok = true;
  r.text = v["t"].get<std::string>();
  const std::string n = v["n"].get<std::string>();
  // strtod reads "Infinity" and "NaN" as the page spells them.
  r.number = toInt32(std::strtod(n.c_str(), nullptr));
  return r;
}

std::string fixLoneSurrogates(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  bool inString = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (!inString) {
      if (c == '"') inString = true;
      out += c;
      continue;
    }
    if (c == '"') { inString = false; out += c; continue; }
    if (c != '\\' || i + 1 >= s.size()) { out += c; continue; }
    if (s[i + 1] != 'u') { out += c; out += s[++i]; continue; }
    int v = hex4(s, i + 2);
    if (v < 0xD800 || v > 0xDFFF) { out.append(s.substr(i, 2)); ++i; continue; }
    bool paired = false;
    if (v <= 0xDBFF && i + 11 < s.size() && s[i + 6] == '\\' && s[i + 7] == 'u') {
      int lo = hex4(s, i + 8);
      paired = lo >= 0xDC00 && lo <= 0xDFFF;
    }
    if (paired) {
      out.append(s.substr(i, 12));
      i += 11;
    } else {
      out += "\\ufffd";
      i += 5;
    }
  }
  return out;
}

std::string jsonQuote(std::string_view s) {
  return nlohmann::json(std::string(s)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace engine
