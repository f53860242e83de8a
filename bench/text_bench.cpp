// FindText, ReplaceText and MidText over a 2 MB page source, against a
// strstr loop doing the same work. Prints milliseconds and the ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "runtime/core_commands.h"
#include "runtime/runtime.h"

namespace {

rt::Value text(const char* s) { rt::Value v{}; v.text = s; v.tag = rt::kTagText; return v; }
rt::Value integer(int32_t i) { rt::Value v{}; v.i = i; v.tag = rt::kTagInt; return v; }

rt::Value call(rt::CommandFn fn, std::vector<rt::Value> args) {
  rt::Value r{};
  fn(&r, int32_t(args.size()), args.data());
  return r;
}

// A reader page: markup, ASCII and double-byte text, a marker every ~1 KB.
std::string pageSource() {
  std::string s;
  int n = 0;
  while (s.size() < 2u << 20) {
    s += "<div class=\"row\"><span>第";
    s += std::to_string(n++);
    s += "题 选择正确的答案 A. 甲 B. 乙 C. 丙 D. 丁</span>";
    for (int i = 0; i < 12; ++i) s += "<p style=\"margin:0\">题目内容文字 text content 中文</p>";
    s += "<img data-page=\"";
    s += std::to_string(n);
    s += "\" src=\"x.png\"></div>\n";
  }
  return s;
}

// The fastest of 15 rounds: on a shared machine the slower ones measure the
// other processes.
template <class F> double millis(F f) {
  double best = 1e300;
  for (int i = 0; i < 15; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

volatile size_t sink;

}  // namespace

int main() {
  const std::string page = pageSource();
  const char* p = page.c_str();
  const char* marker = "data-page=\"";
  const size_t ml = strlen(marker);
  std::printf("page %zu bytes\n", page.size());

  // Every marker's position.
  const double findCmd = millis([&] {
    size_t count = 0;
    for (int32_t at = 1;;) {
      const int32_t hit = call(core::FindText, {text(p), text(marker), integer(at)}).i;
      if (hit < 0) break;
      ++count;
      at = hit + int32_t(ml);
    }
    sink = count;
  });
  const size_t markers = sink;
  const double findLib = millis([&] {
    size_t count = 0;
    for (const char* q = p; (q = strstr(q, marker)); q += ml) ++count;
    sink = count;
  });

  // The 8 bytes after every marker.
  const double midCmd = millis([&] {
    size_t total = 0;
    for (int32_t at = 1;;) {
      const int32_t hit = call(core::FindText, {text(p), text(marker), integer(at)}).i;
      if (hit < 0) break;
      rt::Value r = call(core::MidText, {text(p), integer(hit + int32_t(ml)), integer(8)});
      total += strlen(r.text);
      rt::freeMemory(const_cast<char*>(r.text));
      at = hit + int32_t(ml);
    }
    sink = total;
  });
  const double midLib = millis([&] {
    size_t total = 0;
    for (const char* q = p; (q = strstr(q, marker)); q += ml) {
      std::string piece(q + ml, strnlen(q + ml, 8));
      total += piece.size();
    }
    sink = total;
  });

  // Every marker replaced, case kept exact on both sides.
  const double replaceCmd = millis([&] {
    rt::Value r = call(core::ReplaceText, {text(p), text(marker), text("data-n=\""), integer(1),
                                           integer(-1), integer(1)});
    sink = strlen(r.text);
    rt::freeMemory(const_cast<char*>(r.text));
  });
  const double replaceLib = millis([&] {
    std::string out;
    out.reserve(page.size());
    const char* from = p;
    for (const char* q; (q = strstr(from, marker)); from = q + ml) {
      out.append(from, q);
      out += "data-n=\"";
    }
    out += from;
    sink = out.size();
  });

  // Texts carry no length: each command call scans the text up to its start
  // position, while the strstr loop keeps its pointer between searches.
  std::printf("markers %zu\n", markers);
  std::printf("FindText    %8.2f ms  strstr loop %8.2f ms  ratio %.2f\n", findCmd, findLib, findCmd / findLib);
  std::printf("MidText     %8.2f ms  strstr loop %8.2f ms  ratio %.2f\n", midCmd, midLib, midCmd / midLib);
  std::printf("ReplaceText %8.2f ms  strstr loop %8.2f ms  ratio %.2f\n", replaceCmd, replaceLib,
              replaceCmd / replaceLib);
  return 0;
}
