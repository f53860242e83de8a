// Conversion and byte-set commands.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include "runtime/core_commands.h"
#include "runtime/gbk.h"
#include "runtime/runtime.h"
#include "runtime/value.h"

namespace core {

namespace {

constexpr uint32_t kBaseMask = ~rt::kArrayFlag;

// Element bytes of a numeric array, read as one-dimensional.
std::string_view arrayBytes(const rt::Value& v) {
  const uint32_t size = rt::numericSize(v.tag & kBaseMask);
  if (!(v.tag & rt::kArrayFlag) || size == 0 || !v.bin) return {};
  return {reinterpret_cast<const char*>(rt::byteSetData(v.bin)), size_t(rt::byteSetSize(v.bin)) * size};
}

std::string_view untilZero(std::string_view s) { return s.substr(0, s.find('\0')); }

// Full-width GBK digits, letters and signs become their ASCII forms.
rt::HeapString halfWidth(std::string_view t) {
  rt::HeapString out;
  out.reserve(t.size());
  for (size_t i = 0; i < t.size(); ++i) {
    const unsigned char c = t[i];
    if (!rt::isGbkLeadByte(c) || i + 1 == t.size()) {
      out += char(c);
      continue;
    }
    const unsigned char d = t[++i];
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
      out += char(d & 0x7F);
    } else if (c == 0xA1 && (d == 0xA1 || d == 0xAB || d == 0xEE || d == 0xEF)) {
      out += d == 0xA1 ? ' ' : d == 0xAB ? '~' : '*';
    } else {
      out += char(c);
      out += char(d);
    }
  }
  return out;
}

// Leading space, optional sign, digits; saturates like strtol on 32 bits.
int32_t parseInteger(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) v = 2147483648LL;
  }
  if (negative) v = -v;
  return v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
}

// Truncation toward zero, low word of the 64-bit integer; values the FPU
// cannot convert give its indefinite integer, whose low word is 0.
int32_t truncateDouble(double d) {
  if (!(std::fabs(d) < 9223372036854775808.0)) return 0;
  return static_cast<int32_t>(static_cast<uint64_t>(static_cast<int64_t>(d)));
}

// The float's value rounded to six significant decimal digits.
double sixDigits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  const int e2 = int((bits >> 23) & 0xFF) - 127;
  int e = static_cast<int>(e2 * 0.30102999566398120);
  double m = std::fabs(double(f)) * std::pow(10.0, -e);
  if (m >= 10) {
    ++e;
    m /= 10;
  } else {
    // Once for a normal float; a subnormal's stored exponent says too little.
    while (m < 1 && m > 0) {
      --e;
      m *= 10;
    }
  }
  m *= 1e5;
  double k = std::floor(m);
  if (m - k >= 0.5) k += 1;
  const double v = k * std::pow(10.0, e - 5);
  return f < 0 ? -v : v;
}

// Days since 1899-12-30 to a civil date.
void civilFromDays(int64_t days, int* y, int* m, int* d) {
  int64_t z = days - 25569 + 719468;  // 1899-12-30 is 25569 days before 1970-01-01
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *d = int(doy - (153 * mp + 2) / 5 + 1);
  *m = int(mp < 10 ? mp + 3 : mp - 9);
  *y = int(yoe + era * 400 + (*m <= 2));
}

rt::HeapString dateText(double v) {
  if (!(v >= -657434.0)) v = -657434.0;  // also catches NaN
  if (v > 2958465.0) v = 2958465.0;
  int64_t day = static_cast<int64_t>(v);
  // The fraction is the time of day on either side of the epoch.
  int64_t secs = std::llround(std::fabs(v - double(day)) * 86400.0);
  if (secs >= 86400) {
    secs = 0;
    day += 1;
  }
  int y, mo, d;
  civilFromDays(day, &y, &mo, &d);
  const int h = int(secs / 3600), mi = int(secs / 60 % 60), s = int(secs % 60);
  char buf[96];
  int n = std::snprintf(buf, sizeof buf, "%d年%d月%d日", y, mo, d);
  if (s != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分%d秒", h, mi, s);
  else if (mi != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分", h, mi);
  else if (h != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时", h);
  return buf;
}

rt::HeapString format(const char* fmt, double d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, d);
  return buf;
}

}  // namespace

rt::HeapString valueText(const rt::Value& v) {
  char buf[32];
  switch (v.tag) {
    case rt::kTagByte: std::snprintf(buf, sizeof buf, "%u", unsigned(uint8_t(v.u))); return buf;
    case rt::kTagShort: std::snprintf(buf, sizeof buf, "%d", int(int16_t(v.u))); return buf;
    case rt::kTagInt: std::snprintf(buf, sizeof buf, "%d", int(v.i)); return buf;
    case rt::kTagLong: std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.l)); return buf;
    case rt::kTagFloat: return format("%.6g", sixDigits(v.f));
    case rt::kTagDouble: return format("%.13g", v.d);
    case rt::kTagBool: return v.i ? "真" : "假";
    case rt::kTagDate: return dateText(v.d);
    case rt::kTagText: return rt::HeapString(rt::textOf(v.text));
    case rt::kTagBin:
      return rt::HeapString(untilZero(rt::byteSetBytes(v.bin)));
    default: return rt::HeapString(untilZero(arrayBytes(v)));
  }
}

void RT_CALL ToInteger(rt::Value* result, int32_t argc, rt::Value* args) {
  const rt::Value* v = argAt(argc, args, 0);
  if (!v) return;
  switch (v->tag) {
    case rt::kTagByte: result->i = uint8_t(v->u); break;
    case rt::kTagShort: result->i = int16_t(v->u); break;
    case rt::kTagInt: case rt::kTagBool: case rt::kTagSubPtr: result->i = v->i; break;
    case rt::kTagLong: result->i = static_cast<int32_t>(v->w[0]); break;
    case rt::kTagFloat: result->i = truncateDouble(v->f); break;
    case rt::kTagDouble: result->i = truncateDouble(v->d); break;
    case rt::kTagText: result->i = parseInteger(halfWidth(rt::textOf(v->text))); break;
    default: break;
  }
}

void RT_CALL ToText(rt::Value* result, int32_t argc, rt::Value* args) {
  if (const rt::Value* v = argAt(argc, args, 0)) result->text = rt::newText(valueText(*v));
}

void RT_CALL ToByteSet(rt::Value* result, int32_t argc, rt::Value* args) {
  const rt::Value* v = argAt(argc, args, 0);
  if (!v) return;
  std::string_view bytes;
  if (v->tag == rt::kTagText) {
    bytes = rt::textOf(v->text);
  } else if (v->tag == rt::kTagBin) {
    bytes = rt::byteSetBytes(v->bin);
  } else if (uint32_t size = rt::inlineSize(v->tag)) {
    bytes = {reinterpret_cast<const char*>(v->w), size};
  } else {
    bytes = arrayBytes(*v);
  }
  result->bin = rt::newByteSet(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

void RT_CALL ByteSetLength(rt::Value* result, int32_t argc, rt::Value* args) {
  const rt::Value* v = argAt(argc, args, 0);
  if (v && v->tag == rt::kTagBin) result->i = static_cast<int32_t>(rt::byteSetSize(v->bin));
}

void RT_CALL BlankByteSet(rt::Value* result, int32_t argc, rt::Value* args) {
  int32_t k;
  if (!intArg(argc, args, 0, 0, &k) || k <= 0) return;
  result->bin = rt::newByteSet(nullptr, uint32_t(k));
}

// The caller vouches for the memory; a null address or a negative length
// cannot be a buffer, so they give the empty byte-set.
void RT_CALL PointerToByteSet(rt::Value* result, int32_t argc, rt::Value* args) {
  int32_t address, k;
  if (!intArg(argc, args, 0, 0, &address) || !intArg(argc, args, 1, 0, &k)) return;
  if (address == 0 || k <= 0) return;
  result->bin = rt::newByteSet(reinterpret_cast<const void*>(uintptr_t(uint32_t(address))),
                               uint32_t(k));
}

}  // namespace core
