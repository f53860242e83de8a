// Text commands. Texts are GBK bytes: lengths and positions count bytes,
// positions from 1, and a byte of 0x80 or above leads a two-byte character.
#include <cstring>
#include <string>
#include "runtime/core_commands.h"
#include "runtime/runtime.h"

namespace core {

namespace {

inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

bool equalFolded(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

// Moves a character-boundary cursor forward until it reaches or passes
// target; the cursor only ever lands on boundaries counted from where it
// started.
inline size_t walkTo(std::string_view t, size_t pos, size_t target) {
  while (pos < target) pos += static_cast<unsigned char>(t[pos]) >= 0x80 ? 2 : 1;
  return pos;
}

}  // namespace

size_t findAtBoundary(std::string_view t, size_t pos, std::string_view u, bool fold) {
  const size_t n = t.size(), m = u.size();
  if (fold) {
    while (pos < n && n - pos >= m) {
      if (equalFolded(t.data() + pos, u.data(), m)) return pos;
      pos += static_cast<unsigned char>(t[pos]) >= 0x80 ? 2 : 1;
    }
    return std::string_view::npos;
  }
  // Exact: memchr finds candidates fast; a candidate counts only if it
  // starts a character as seen from pos.
  const char* end = t.data() + n;
  while (pos < n && n - pos >= m) {
    const char* c0 = t.data() + pos;
    const char* hit = nullptr;
    while ((c0 = static_cast<const char*>(memchr(c0, u[0], size_t(end - c0) - m + 1)))) {
      if (memcmp(c0 + 1, u.data() + 1, m - 1) == 0) {
        hit = c0;
        break;
      }
      if (size_t(end - ++c0) < m) break;
    }
    if (!hit) return std::string_view::npos;
    const size_t c = size_t(hit - t.data());
    pos = walkTo(t, pos, c);
    if (pos == c) return c;
  }
  return std::string_view::npos;
}

std::string replaceAll(std::string_view t, std::string_view u, std::string_view r,
                       size_t start, int32_t count, bool fold) {
  const size_t n = t.size(), m = u.size();
  if (n == 0 || m == 0 || start >= n || count == 0) return std::string(t);
  std::string out;
  out.reserve(n);
  out.append(t.substr(0, start));
  size_t pos = start;
  while (true) {
    const size_t hit = findAtBoundary(t, pos, u, fold);
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

void RT_CALL MidText(rt::Value* result, int32_t argc, rt::Value* args) {
  std::string_view t;
  int32_t s, k;
  if (!textArg(argc, args, 0, &t) || !intArg(argc, args, 1, 0, &s) ||
      !intArg(argc, args, 2, 0, &k))
    return;
  const int64_t p = int64_t(s) - 1;
  if (p < 0 || p >= int64_t(t.size()) || k <= 0) return;
  result->text = rt::newText(t.substr(static_cast<size_t>(p), static_cast<size_t>(k)));
}

void RT_CALL FindText(rt::Value* result, int32_t argc, rt::Value* args) {
  std::string_view t, u;
  int32_t s, fold;
  if (!textArg(argc, args, 0, &t) || !textArg(argc, args, 1, &u) ||
      !intArg(argc, args, 2, 0, &s) || !intArg(argc, args, 3, 0, &fold))
    return;
  const size_t start = s > 1 ? static_cast<size_t>(s) - 1 : 0;
  result->i = -1;
  if (start >= t.size()) return;
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
  if (!textArg(argc, args, 0, &t) || !textArg(argc, args, 1, &u)) return;
  if (argAt(argc, args, 2) && !textArg(argc, args, 2, &r)) return;
  if (!intArg(argc, args, 3, 1, &s) || !intArg(argc, args, 4, -1, &count) ||
      !intArg(argc, args, 5, 0, &matchCase))
    return;
  const size_t start = s > 1 ? static_cast<size_t>(s) - 1 : 0;
  result->text = rt::newText(replaceAll(t, u, r, start, count, matchCase == 0));
}

}  // namespace core
