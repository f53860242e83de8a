// Function-body scripts: wrapping for Runtime.evaluate and reading back the
// converted value.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace engine {

// An expression that runs `body` as a function body, awaits a thenable
// result and yields {t: text, n: number as text} computed in the page, so
// windows, DOM nodes, cycles and symbols all come back as plain strings.
std::string wrapFunctionBody(std::string_view body);

// Runtime.evaluate's parameters for a function body: awaited, its value
// read back as readScriptResult expects it.
nlohmann::json functionBodyParams(std::string_view body, bool gesture);

struct ScriptResult {
  bool ok = false;
  std::string text;    // UTF-8; "" on failure
  int32_t number = 0;  // 0 on failure
  std::string error;   // why it failed, for the log
};

// Reads a Runtime.evaluate result (the reply's "result" member).
ScriptResult readScriptResult(const nlohmann::json& result);

// Page numbers to int: NaN gives 0, others truncate and clamp to int32.
int32_t toInt32(double v);

// Replaces \uD800-\uDFFF escapes that do not form a pair with \uFFFD so the
// JSON parser accepts what the page produced.
std::string fixLoneSurrogates(std::string_view json);

// JSON string literal for `s` (valid UTF-8 out, bad bytes replaced).
std::string jsonQuote(std::string_view s);

}  // namespace engine
