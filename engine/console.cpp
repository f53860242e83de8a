#include "engine/console.h"

#include <cstdint>

namespace engine {
namespace {

// A line or column the protocol counts from 0, counted from 1; 0 when
// missing or out of range.
int fromOne(const Json& j, const char* key) {
  int64_t n = intField(j, key, -1);
  return n >= 0 && n < INT32_MAX ? static_cast<int>(n) + 1 : 0;
}

int levelOf(const std::string& type) {
  if (type == "warning") return kConsoleWarning;
  if (type == "error" || type == "assert") return kConsoleError;
  if (type == "debug" || type == "trace") return kConsoleDebug;
  if (type == "info") return kConsoleInfo;
  return kConsoleLog;
}

// The top frame gives the source and line; the protocol counts lines from 0.
void readStack(const Json& trace, ConsoleLine& out) {
  auto frames = trace.find("callFrames");
  if (!trace.is_object() || frames == trace.end() || !frames->is_array()) return;
  for (const Json& f : *frames) {
    if (!f.is_object()) continue;
    int line = fromOne(f, "lineNumber"), column = fromOne(f, "columnNumber");
    std::string fn = stringField(f, "functionName"), url = stringField(f, "url");
    if (out.source.empty() && out.line == 0) {
      out.source = url;
      out.line = line > 0 ? line : 0;
    }
    if (!out.stack.empty()) out.stack += '\n';
    out.stack += (fn.empty() ? "(anonymous)" : fn) + " (" + url + ":" + std::to_string(line) + ":" +
                 std::to_string(column) + ")";
  }
}

std::string textOf(const Json& arg) {
  if (!arg.is_object()) return {};
  auto v = arg.find("value");
  if (v != arg.end()) return v->is_string() ? v->get<std::string>() : v->dump(-1, ' ', false, Json::error_handler_t::replace);
  std::string d = stringField(arg, "description");
  return d.empty() ? stringField(arg, "type") : d;
}

}  // namespace

ConsoleLine readConsoleCall(const Json& p) {
  ConsoleLine c;
  if (!p.is_object()) return c;
  c.level = levelOf(stringField(p, "type"));
  if (auto args = p.find("args"); args != p.end() && args->is_array())
    for (const Json& a : *args) {
      if (!c.message.empty()) c.message += ' ';
      c.message += textOf(a);
    }
  if (auto t = p.find("stackTrace"); t != p.end()) readStack(*t, c);
  return c;
}

ConsoleLine readException(const Json& p) {
  ConsoleLine c;
  c.level = kConsoleError;
  auto d = p.is_object() ? p.find("exceptionDetails") : p.end();
  if (!p.is_object() || d == p.end() || !d->is_object()) return c;
  auto ex = d->find("exception");
  c.message = ex != d->end() && ex->is_object() && ex->contains("description") ? textOf(*ex)
                                                                              : stringField(*d, "text");
  if (auto t = d->find("stackTrace"); t != d->end()) readStack(*t, c);
  if (c.source.empty()) c.source = stringField(*d, "url");
  if (c.line == 0) c.line = fromOne(*d, "lineNumber");
  return c;
}

}  // namespace engine
