// Text routines over the core text commands, called through the frame like
// the rest of the application.
#include "app/text_routines.h"
#include "app/constants.h"
#include "app/command_frame.h"
#include "runtime/core_commands.h"
#include "runtime/gbk.h"

namespace app {

namespace {

// "#引号" is how a delimiter spells a double quote.
char* unquote(const char* delimiter) {
  return ownedText(callCore(core::ReplaceText, textArg(delimiter), textArg(kQuoteName),
                           textArg(kQuote), omitted(), omitted(), boolArg(true)));
}

int32_t textLength(const char* text) { return callCore(core::TextLength, textArg(text)).i; }

}  // namespace

char* TextBetween(const char* text, const char* left, const char* right, int32_t start,
                  bool caseInsensitive) {
  char* l = unquote(left);
  char* r = unquote(right);
  char* result = nullptr;
  int32_t p = callCore(core::FindText, textArg(text), textArg(l), intArg(start),
                       boolArg(caseInsensitive)).i;
  if (p != -1) {
    p += textLength(l);
    const int32_t q = callCore(core::FindText, textArg(text), textArg(r), intArg(p),
                               boolArg(caseInsensitive)).i;
    if (q != -1) result = ownedText(callCore(core::MidText, textArg(text), intArg(p), intArg(q - p)));
  }
  release(l);
  release(r);
  return result;
}

int32_t CharWidthAt(const char* text, int32_t pos) {
  if (pos < 1 || pos > textLength(text)) return -1;
  return int32_t(rt::gbkCharWidth(rt::textOf(text), size_t(pos - 1)));
}

int32_t CharBytes(const char* text, int32_t n) {
  if (n > textLength(text) || n < 0) return -1;
  return int32_t(rt::gbkCutLength(rt::textOf(text), size_t(n)));
}

char* LeftChars(const char* text, int32_t n) {
  return ownedText(callCore(core::LeftText, textArg(text), intArg(CharBytes(text, n))));
}

}  // namespace app
