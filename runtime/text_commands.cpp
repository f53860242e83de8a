// Text commands. Texts are GBK bytes: lengths and positions count bytes,
// positions from 1, and a GBK lead byte starts a two-byte character.
#include <cstring>
#include <string>
#include "runtime/core_commands.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/text_length_cache.h"

namespace core {

namespace {

inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

// a is zero-terminated; the comparison stops at its terminator.
bool equalFolded(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (!a[i] || foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

// Whether offset c starts a character as counted from the boundary pos
// (pos <= c). A byte that cannot lead a character always ends one, so the
// byte after the nearest such byte before c is a boundary; from there, the
// lead-range bytes up to c pair off. Only that run is read, not all of
// [pos, c).
inline bool startsCharacter(const char* t, size_t pos, size_t c) {
  size_t run = c;
  while (run > pos && rt::isGbkLeadByte(static_cast<unsigned char>(t[run - 1]))) --run;
  return (c - run) % 2 == 0;
}

// Offset of the first match of u (non-empty, zero-terminated at u.size()) in
// the zero-terminated t at a character boundary counted from pos (pos within
// t), or npos. fold: ASCII letters compare case-blind.
size_t findAtBoundary(const char* t, size_t pos, std::string_view u, bool fold) {
  const size_t m = u.size();
  if (fold) {
    // The terminator never matches a byte of u, so no length is needed.
    while (t[pos]) {
      if (equalFolded(t + pos, u.data(), m)) return pos;
      if (!rt::isGbkLeadByte(static_cast<unsigned char>(t[pos]))) {
        ++pos;
      } else if (!t[pos + 1]) {
        break;
      } else {
        pos += 2;
      }
    }
    return std::string_view::npos;
  }
  // Exact: strstr finds candidates fast and stops at the terminator; a
  // candidate counts only if it starts a character as seen from pos.
  for (size_t from = pos; t[from];) {
    const char* hit = strstr(t + from, u.data());
    if (!hit) return std::string_view::npos;
    const size_t c = size_t(hit - t);
    if (startsCharacter(t, pos, c)) return c;
    // c is the trail of a character that began at c - 1: c + 1 is a
    // boundary, and later runs need not be read back past it.
    pos = c + 1;
    from = c + 1;
  }
  return std::string_view::npos;
}

// ReplaceText's work: t and u zero-terminated at their sizes; t with up to
// count (-1 or any negative: all) matches of u from byte offset start
// replaced by r.
rt::HeapString replaceAll(std::string_view t, std::string_view u, std::string_view r,
                          size_t start, int32_t count, bool fold) {
  const size_t n = t.size(), m = u.size();
  if (n == 0 || m == 0 || start >= n || count == 0) return rt::HeapString(t);
  rt::HeapString out;
  out.reserve(n);
  out.append(t.substr(0, start));
  size_t pos = start;
  while (true) {
    const size_t hit = findAtBoundary(t.data(), pos, u, fold);
    if (hit == std::string_view::npos) break;
    out.append(t.substr(pos, hit - pos));
    out.append(r);
    pos = hit + m;
    if (count > 0 && --count == 0) break;
  }
  // The tail goes through unchanged, including a lone lead byte at the end.
  out.append(t.substr(pos));
  return out;
}

}  // namespace

void RT_CALL TextLength(rt::Value* result, int32_t argc, rt::Value* args) {
  std::string_view t;
  if (textArg(argc, args, 0, &t)) result->i = static_cast<int32_t>(t.size());
}

void RT_CALL LeftText(rt::Value* result, int32_t argc, rt::Value* args) {
  std::string_view t;
  int32_t k;
  if (!textArg(argc, args, 0, &t) || !intArg(argc, args, 1, 0, &k) || k <= 0) return;
  result->text = rt::newText(t.substr(0, static_cast<size_t>(k)));
}

// Measures only as far as the piece reaches, not the whole text.
void RT_CALL MidText(rt::Value* result, int32_t argc, rt::Value* args) {
  const char* t;
  int32_t s, k;
  if (!textPtrArg(argc, args, 0, &t) || !intArg(argc, args, 1, 0, &s) ||
      !intArg(argc, args, 2, 0, &k))
    return;
  if (s < 1 || k <= 0) return;
  const size_t p = size_t(s) - 1;
  if (!rt::textHasAtLeast(t, p + 1)) return;
  result->text = rt::newText(std::string_view(t + p, strnlen(t + p, size_t(k))));
}

// Searches from the start without measuring the whole text first, and what
// is known of the text's length carries over to the next call, so a loop of
// searches over a long page stays linear.
void RT_CALL FindText(rt::Value* result, int32_t argc, rt::Value* args) {
  const char* t;
  std::string_view u;
  int32_t s, fold;
  if (!textPtrArg(argc, args, 0, &t) || !textArg(argc, args, 1, &u) ||
      !intArg(argc, args, 2, 0, &s) || !intArg(argc, args, 3, 0, &fold))
    return;
  const size_t start = s > 1 ? static_cast<size_t>(s) - 1 : 0;
  result->i = -1;
  if (!rt::textHasAtLeast(t, start + 1)) return;
  if (u.empty()) {
    result->i = 1;
    return;
  }
  const size_t hit = findAtBoundary(t, start, u, fold == 1);
  if (hit != std::string_view::npos) result->i = static_cast<int32_t>(hit + 1);
}

void RT_CALL ReplaceText(rt::Value* result, int32_t argc, rt::Value* args) {
  std::string_view t, u, r;
  int32_t s, count, matchCase;
  if (!textArg(argc, args, 0, &t) || !textArg(argc, args, 1, &u) || !textArg(argc, args, 2, {}, &r))
    return;
  if (!intArg(argc, args, 3, 1, &s) || !intArg(argc, args, 4, -1, &count) ||
      !intArg(argc, args, 5, 0, &matchCase))
    return;
  const size_t start = s > 1 ? static_cast<size_t>(s) - 1 : 0;
  result->text = rt::newText(replaceAll(t, u, r, start, count, matchCase == 0));
}

}  // namespace core
