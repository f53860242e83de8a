// Scripts run in a view's page. A value is a handle into the value store;
// 0 reads as "" and 0.
#include "engine/exports_win.h"
#include "engine/script_values.h"

namespace {

engine::ValueStore& values() {
  static engine::ValueStore store;
  return store;
}

// The text of the last jsToString stays valid until the next call.
std::string& textBuffer() {
  static std::string s;
  return s;
}

jsValue run(wkeWebView wv, const std::string& body) {
  engine::View* v = engine::View::find(wv);
  engine::ScriptValue r;
  if (!v || !v->runScript(body, r.text, r.number)) return 0;
  return values().put(std::move(r));
}

}  // namespace

ENGINE_EXPORT jsValue wkeRunJSW(wkeWebView wv, const wchar_t* script) { return run(wv, engine::toUtf8(script)); }
ENGINE_EXPORT jsValue wkeRunJS(wkeWebView wv, const char* script) { return run(wv, script ? script : ""); }
ENGINE_EXPORT jsExecState wkeGlobalExec(wkeWebView wv) {
  return reinterpret_cast<jsExecState>(engine::View::find(wv));
}
ENGINE_EXPORT const char* jsToString(jsExecState, jsValue value) {
  const engine::ScriptValue* s = values().get(value);
  textBuffer() = s ? s->text : std::string();
  return textBuffer().c_str();
}
ENGINE_EXPORT const char* jsToTempString(jsExecState es, jsValue value) { return jsToString(es, value); }
ENGINE_EXPORT int jsToInt(jsExecState, jsValue value) {
  const engine::ScriptValue* s = values().get(value);
  return s ? s->number : 0;
}
