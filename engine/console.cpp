#include "engine/console.h"

namespace engine {
namespace {

int intField(const Json& j, const char* key, int otherwise) {
  auto it = j.find(key);
  return it != j.end() && it->is_number_integer() ? it->get<int>() : otherwise;
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
    int line = intField(f, "lineNumber", -1) + 1, column = intField(f, "columnNumber", -1) + 1;
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
  if (v != arg.end()) return v->is_string() ? v->get<std::string>() : v->dump();
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
  if (c.line == 0 && intField(*d, "lineNumber", -1) >= 0) c.line = intField(*d, "lineNumber", -1) + 1;
  return c;
}

}  // namespace engine
