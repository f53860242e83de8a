// The text commands against a plain byte-by-byte reading of their rules:
// FindText, ReplaceText, MidText, LeftText and TextLength on arbitrary GBK
// bytes, with every block they allocate released again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "runtime/core_commands.h"
#include "tests/runtime/commands_fake_runtime.h"

namespace {

// A zero-terminated text as the commands see it: cut at the first zero.
std::string cText(FuzzedDataProvider& in, size_t max) {
  std::string s = in.ConsumeRandomLengthString(max);
  return s.substr(0, s.find('\0'));
}

bool lead(const std::string& t, size_t i) {
  const unsigned char c = static_cast<unsigned char>(t[i]);
  return c >= 0x81 && c <= 0xFE;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool matchesAt(const std::string& t, size_t pos, const std::string& u, bool fold) {
  if (t.size() - pos < u.size()) return false;
  for (size_t i = 0; i < u.size(); ++i)
    if (fold ? lower(t[pos + i]) != lower(u[i]) : t[pos + i] != u[i]) return false;
  return true;
}

// Next character boundary after pos, or npos when a lead byte is the last.
size_t nextChar(const std::string& t, size_t pos) {
  if (!lead(t, pos)) return pos + 1;
  return pos + 1 == t.size() ? std::string::npos : pos + 2;
}

size_t startOffset(int32_t s) { return s > 1 ? size_t(s) - 1 : 0; }

int32_t findText(const std::string& t, const std::string& u, int32_t s, bool fold) {
  size_t pos = startOffset(s);
  if (pos >= t.size()) return -1;
  if (u.empty()) return 1;
  while (pos != std::string::npos && t.size() - pos >= u.size()) {
    if (matchesAt(t, pos, u, fold)) return int32_t(pos + 1);
    pos = nextChar(t, pos);
  }
  return -1;
}

// A lead byte that ends the text is kept: dropping it would lose data.
std::string replaceText(const std::string& t, const std::string& u, const std::string& r,
                        int32_t s, int32_t count, bool fold) {
  size_t pos = startOffset(s);
  if (t.empty() || u.empty() || pos >= t.size() || count == 0) return t;
  std::string out = t.substr(0, pos);
  while (t.size() - pos >= u.size()) {
    if (matchesAt(t, pos, u, fold)) {
      out += r;
      pos += u.size();
      if (count > 0 && --count == 0) break;
      continue;
    }
    size_t next = nextChar(t, pos);
    if (next == std::string::npos) break;
    out.append(t, pos, next - pos);
    pos = next;
  }
  return out + t.substr(pos);
}

std::string midText(const std::string& t, int32_t s, int32_t k) {
  int64_t p = int64_t(s) - 1;
  if (p < 0 || p >= int64_t(t.size()) || k <= 0) return "";
  return t.substr(size_t(p), size_t(k));
}

// A text result, released; empty results must be null texts.
std::string taken(rt::Value r) {
  if (r.text && !*r.text) std::abort();
  return r.text ? fake::takeText(r) : "";
}

// Small positions most of the time, so they land inside the texts.
int32_t position(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-2, 40)
                          : in.ConsumeIntegral<int32_t>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int32_t s = position(in), k = position(in);
  const int32_t count = in.ConsumeIntegralInRange<int32_t>(-3, 4);
  const int32_t flag = in.ConsumeIntegralInRange<int32_t>(-1, 2);
  const std::string t = cText(in, 256), u = cText(in, 16), r = cText(in, 16);
  const int live = fake::liveBlocks;

  using fake::call;
  using fake::integer;
  using fake::text;
  // Null and "" are the same empty text. A text reaches a command as a
  // runtime value: a heap block, or a constant when empty.
  char* heapText = rt::newText(t);
  const char* tp = heapText ? heapText : flag == 2 ? nullptr : "";

  rt::Value found = call(core::FindText, {text(tp), text(u.c_str()), integer(s), integer(flag)});
  if (found.i != findText(t, u, s, flag == 1)) std::abort();

  std::string replaced = taken(call(core::ReplaceText, {text(tp), text(u.c_str()),
      text(r.c_str()), integer(s), integer(count), integer(flag)}));
  if (replaced != replaceText(t, u, r, s, count, flag == 0)) std::abort();

  // Omitted arguments: from the start, every match, case-blind.
  std::string all = taken(call(core::ReplaceText, {text(tp), text(u.c_str())}));
  if (all != replaceText(t, u, "", 1, -1, true)) std::abort();

  if (taken(call(core::MidText, {text(tp), integer(s), integer(k)})) != midText(t, s, k))
    std::abort();
  if (taken(call(core::LeftText, {text(tp), integer(k)})) != (k > 0 ? t.substr(0, size_t(k)) : ""))
    std::abort();
  if (call(core::TextLength, {text(tp)}).i != int32_t(t.size())) std::abort();

  rt::freeMemory(heapText);
  if (fake::liveBlocks != live) std::abort();
  return 0;
}
