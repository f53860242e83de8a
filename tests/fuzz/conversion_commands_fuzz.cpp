// ToInteger and ToText on arbitrary values: numbers come back from their
// text, dates name a real calendar day and time close to the value, wide
// (GBK full-width) digits and signs read as their ASCII forms, and no block
// is left behind.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "runtime/core_commands.h"
#include "tests/runtime/commands_fake_runtime.h"

namespace {

using fake::call;

int32_t toInteger(rt::Value v) { return call(core::ToInteger, {v}).i; }
// Empty results are null texts.
std::string toText(rt::Value v) {
  rt::Value r = call(core::ToText, {v});
  if (r.text && !*r.text) std::abort();
  return r.text ? fake::takeText(r) : "";
}

rt::Value tagged(uint32_t tag) { rt::Value v{}; v.tag = tag; return v; }

// strtol's reading on 32 bits, for texts without double-byte characters.
int32_t decimal(const std::string& s) {
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v);
}

void checkText(FuzzedDataProvider& in) {
  std::string t = in.ConsumeRandomLengthString(64);
  t = t.substr(0, t.find('\0'));
  const int32_t n = toInteger(fake::text(t.c_str()));
  if (toText(fake::text(t.c_str())) != t) std::abort();
  bool ascii = true;
  for (unsigned char c : t) ascii = ascii && c < 0x80;
  if (!ascii) return;
  if (n != decimal(t)) std::abort();
  // The same text with some characters written full-width reads the same.
  std::string wide;
  for (char c : t) {
    if (c == ' ' && in.ConsumeBool()) wide += "\xA1\xA1";
    else if (c > ' ' && c < 0x7F && in.ConsumeBool()) wide += {'\xA3', char(c | 0x80)};
    else wide += c;
  }
  if (toInteger(fake::text(wide.c_str())) != n) std::abort();
}

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int monthDays(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kDays[m - 1] + (m == 2 && leap(y));
}

// Days from 1899-12-30 of a civil date: whole years, then month by month.
int64_t serialDay(int y, int m, int d) {
  int64_t yy = y - 1;
  int64_t days = yy * 365 + yy / 4 - yy / 100 + yy / 400;
  for (int k = 1; k < m; ++k) days += monthDays(y, k);
  return days + d - 693594;  // 0001-01-01 is day 1, 1899-12-30 day 693594
}

void checkDate(double v) {
  rt::Value date = tagged(rt::kTagDate);
  date.d = v;
  const std::string s = toText(date);
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, used = 0;
  if (std::sscanf(s.c_str(), "%d年%d月%d日%n", &y, &mo, &d, &used) != 3) std::abort();
  const char* rest = s.c_str() + used;
  if (*rest && std::sscanf(rest, "%d时%d分%d秒", &h, &mi, &sec) < 1) std::abort();
  if (y < 100 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > monthDays(y, mo)) std::abort();
  if (h < 0 || h > 23 || mi < 0 || mi > 59 || sec < 0 || sec > 59) std::abort();
  // The day count runs through zero; the fraction is the time of day either
  // side of it, so the instant is the whole days plus the fraction's size.
  if (!(v >= -657434.0)) v = -657434.0;
  if (v > 2958465.0) v = 2958465.0;
  const double instant = std::trunc(v) + std::fabs(v - std::trunc(v));
  const double shown = double(serialDay(y, mo, d)) + (h * 3600 + mi * 60 + sec) / 86400.0;
  if (std::fabs(instant - shown) > 0.5 / 86400 + 1e-6) std::abort();
}

void checkNumbers(FuzzedDataProvider& in) {
  const int32_t i = in.ConsumeIntegral<int32_t>();
  if (toInteger(fake::integer(i)) != i || decimal(toText(fake::integer(i))) != i) std::abort();

  rt::Value b = tagged(rt::kTagByte);
  b.u = in.ConsumeIntegral<uint32_t>();
  if (toInteger(b) != uint8_t(b.u) || toText(b) != std::to_string(uint8_t(b.u))) std::abort();
  rt::Value sh = tagged(rt::kTagShort);
  sh.u = in.ConsumeIntegral<uint32_t>();
  if (toInteger(sh) != int16_t(sh.u) || toText(sh) != std::to_string(int16_t(sh.u))) std::abort();

  rt::Value l = tagged(rt::kTagLong);
  l.l = in.ConsumeIntegral<int64_t>();
  if (toInteger(l) != int32_t(uint32_t(uint64_t(l.l))) || toText(l) != std::to_string(l.l))
    std::abort();

  // Raw bits half the time, so subnormals, infinities and NaNs come up.
  double d = in.ConsumeFloatingPoint<double>();
  if (in.ConsumeBool()) {
    const uint64_t bits = in.ConsumeIntegral<uint64_t>();
    std::memcpy(&d, &bits, sizeof d);
  }
  const std::string dt = toText(fake::real(d));
  if (std::isfinite(d) && std::fabs(std::strtod(dt.c_str(), nullptr) - d) > std::fabs(d) * 1e-12)
    std::abort();
  // Truncation toward zero wherever the value fits.
  if (std::fabs(d) < 2147483648.0 && toInteger(fake::real(d)) != int32_t(std::trunc(d)))
    std::abort();

  rt::Value f = tagged(rt::kTagFloat);
  f.f = in.ConsumeFloatingPoint<float>();
  if (in.ConsumeBool()) f.u = in.ConsumeIntegral<uint32_t>();
  const std::string ft = toText(f);
  // Six significant digits: within half a unit of the sixth.
  if (std::isfinite(f.f) && std::fabs(std::strtod(ft.c_str(), nullptr) - f.f) >
                                std::fabs(double(f.f)) * 5.000001e-6)
    std::abort();

  rt::Value flag = fake::logical(in.ConsumeBool());
  flag.i = in.ConsumeIntegral<int32_t>();
  if (toInteger(flag) != flag.i || toText(flag) != (flag.i ? "真" : "假")) std::abort();

  checkDate(in.ConsumeBool() ? in.ConsumeFloatingPointInRange<double>(-700000.0, 3000000.0)
                             : in.ConsumeFloatingPoint<double>());
}

// Byte-sets and numeric arrays read up to their first zero byte.
void checkBlocks(FuzzedDataProvider& in) {
  std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 40));
  std::vector<uint8_t> block(8 + bytes.size());
  const uint32_t header[2] = {1, uint32_t(bytes.size())};
  std::memcpy(block.data(), header, 8);
  if (!bytes.empty()) std::memcpy(block.data() + 8, bytes.data(), bytes.size());
  std::string upToZero(bytes.begin(), bytes.end());
  upToZero = upToZero.substr(0, upToZero.find('\0'));
  if (toText(fake::bytes(block.data())) != upToZero) std::abort();
  if (toInteger(fake::bytes(block.data())) != 0) std::abort();
  // The same bytes as an array of 16-bit elements (an odd byte dropped).
  rt::Value arr = tagged(rt::kTagShort | rt::kArrayFlag);
  const uint32_t words[2] = {1, uint32_t(bytes.size() / 2)};
  std::memcpy(block.data(), words, 8);
  arr.bin = block.data();
  std::string even(bytes.begin(), bytes.begin() + bytes.size() / 2 * 2);
  if (toText(arr) != even.substr(0, even.find('\0'))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int live = fake::liveBlocks;
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: checkText(in); break;
    case 1: checkNumbers(in); break;
    default: checkBlocks(in); break;
  }
  if (fake::liveBlocks != live) std::abort();
  return 0;
}
