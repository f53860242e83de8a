#include <gtest/gtest.h>
#include <cmath>
#include <cstdlib>
#include <limits>
#include "runtime/core_commands.h"
#include "tests/runtime/commands_fake_runtime.h"
#include "tests/runtime/report_exit.h"

using fake::call;
using fake::integer;
using fake::logical;
using fake::real;
using fake::takeBytes;
using fake::takeText;
using fake::text;

namespace {

rt::Value typed(uint32_t tag, uint64_t raw) {
  rt::Value v{};
  v.l = int64_t(raw);
  v.tag = tag;
  return v;
}
rt::Value single(float f) { rt::Value v{}; v.f = f; v.tag = rt::kTagFloat; return v; }
rt::Value date(double d) { rt::Value v{}; v.d = d; v.tag = rt::kTagDate; return v; }

}  // namespace

TEST(ConversionCommands, ToInteger) {
  struct Case { const char* name; rt::Value v; int32_t want; } cases[] = {
      {"full-width 123", text("\xA3\xB1\xA3\xB2\xA3\xB3"), 123},
      {"full-width minus five", text("\xA3\xAD\xA3\xB5"), -5},
      {"ideographic space", text("\xA1\xA1" "7"), 7},
      {"12 then letters", text("12abc"), 12},
      {"leading space and sign", text(" \t-42x"), -42},
      {"no digits", text("abc"), 0},
      {"empty", text(""), 0},
      {"overflow saturates", text("99999999999"), 2147483647},
      {"2.9", real(2.9), 2},
      {"-2.9", real(-2.9), -2},
      {"float 3.99", single(3.99f), 3},
      {"beyond 32 bits keeps the low word", real(4294967301.0), 5},
      {"NaN", real(std::numeric_limits<double>::quiet_NaN()), 0},
      {"1e30", real(1e30), 0},
      {"byte", typed(rt::kTagByte, 200), 200},
      {"short", typed(rt::kTagShort, 0xFFFE), -2},
      {"long", typed(rt::kTagLong, 0x100000005ull), 5},
      {"logical", logical(true), 1},
      {"date is not a number", date(3.0), 0},
      {"library type", typed(rt::kTypeWindow, 0x12345), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(call(core::ToInteger, {c.v}).i, c.want);
  }
}

TEST(ConversionCommands, ToText) {
  static const uint8_t byteArray[] = {1, 0, 0, 0, 4, 0, 0, 0, 'h', 'i', 0, 'x'};
  static const uint8_t byteSet[] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
  struct Case { const char* name; rt::Value v; const char* want; } cases[] = {
      {"true", logical(true), "真"},
      {"false", logical(false), "假"},
      {"any non-zero logical", typed(rt::kTagBool, 7), "真"},
      {"double 0.1", real(0.1), "0.1"},
      {"double thirteen digits", real(2.0 / 3.0), "0.6666666666667"},
      {"integer -5", integer(-5), "-5"},
      {"byte", typed(rt::kTagByte, 255), "255"},
      {"short", typed(rt::kTagShort, 0xFFFD), "-3"},
      {"long", typed(rt::kTagLong, uint64_t(-1234567890123LL)), "-1234567890123"},
      {"float 0.1", single(0.1f), "0.1"},
      {"float third", single(1.0f / 3.0f), "0.333333"},
      {"float 2.5", single(-2.5f), "-2.5"},
      {"float rounds at six digits", single(1234.5678f), "1234.57"},
      {"date only", date(45000.0), "2023年3月15日"},
      {"date and hour", date(45000.5), "2023年3月15日12时"},
      {"date hour minute", date(45000.5 + 1.0 / 48), "2023年3月15日12时30分"},
      {"date with seconds", date(45000.0 + 3661.0 / 86400), "2023年3月15日1时1分1秒"},
      {"epoch", date(0.0), "1899年12月30日"},
      {"before the epoch", date(-1.5), "1899年12月29日12时"},
      {"clamped low", date(-1e9), "100年1月1日"},
      {"clamped high", date(1e9), "9999年12月31日"},
      {"text copy", text("中文"), "中文"},
      {"byte-set", fake::bytes(byteSet), "abc"},
      {"byte array to zero", typed(rt::kTagByte | rt::kArrayFlag, uint64_t(uintptr_t(byteArray))), "hi"},
      {"text array", typed(rt::kTagText | rt::kArrayFlag, uint64_t(uintptr_t(byteArray))), "<null>"},
      {"empty byte-set", fake::bytes(nullptr), "<null>"},
      {"library type", typed(rt::kTypeWindow, 1), "<null>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(takeText(call(core::ToText, {c.v})), c.want);
  }
  EXPECT_EQ(fake::liveBlocks, 0);
}

// Below the normal range the stored exponent is 0; the digits must not be
// lost to it. How many exponent digits follow is the platform printf's.
TEST(ConversionCommands, SubnormalFloatsKeepSixDigits) {
  const struct { float f; const char* lead; } cases[] = {{1e-40f, "9.99995e-"}, {1.4e-45f, "1.4013e-"}};
  for (const auto& c : cases) {
    std::string t = takeText(call(core::ToText, {single(c.f)}));
    EXPECT_EQ(t.rfind(c.lead, 0), 0u) << t;
    EXPECT_NEAR(std::strtod(t.c_str(), nullptr) / c.f, 1.0, 5e-6) << t;
  }
}

TEST(ConversionCommands, ToByteSet) {
  static const uint8_t intArray[] = {1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};
  static const uint8_t byteSet[] = {1, 0, 0, 0, 2, 0, 0, 0, 0, 9};
  using B = std::vector<uint8_t>;
  struct Case { const char* name; rt::Value v; B want; } cases[] = {
      {"ascii text", text("abc"), {'a', 'b', 'c'}},
      {"empty text", text(""), {}},
      {"integer 1", integer(1), {1, 0, 0, 0}},
      {"short", typed(rt::kTagShort, 0x1234), {0x34, 0x12}},
      {"byte", typed(rt::kTagByte, 0x7F), {0x7F}},
      {"double 1", real(1.0), {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
      {"logical", logical(true), {1, 0, 0, 0}},
      {"date", date(0.0), {0, 0, 0, 0, 0, 0, 0, 0}},
      {"byte-set copy", fake::bytes(byteSet), {0, 9}},
      {"integer array", typed(rt::kTagInt | rt::kArrayFlag, uint64_t(uintptr_t(intArray))),
       {1, 0, 0, 0, 2, 0, 0, 0}},
      {"text array", typed(rt::kTagText | rt::kArrayFlag, uint64_t(uintptr_t(intArray))), {}},
      {"library type", typed(rt::kTypeButton, 5), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(takeBytes(call(core::ToByteSet, {c.v})), c.want);
  }
  EXPECT_EQ(call(core::ToByteSet, {text("")}).bin, nullptr);
  EXPECT_EQ(fake::liveBlocks, 0);
}

TEST(ConversionCommands, ByteSets) {
  EXPECT_EQ(call(core::BlankByteSet, {integer(0)}).bin, nullptr);
  EXPECT_EQ(call(core::BlankByteSet, {integer(-5)}).bin, nullptr);
  EXPECT_EQ(call(core::BlankByteSet, {text("3")}).bin, nullptr);
  rt::Value blank = call(core::BlankByteSet, {integer(3)});
  ASSERT_NE(blank.bin, nullptr);
  EXPECT_EQ(reinterpret_cast<const uint32_t*>(blank.bin)[0], 1u);
  EXPECT_EQ(call(core::ByteSetLength, {fake::bytes(blank.bin)}).i, 3);
  EXPECT_EQ(takeBytes(blank), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(call(core::ByteSetLength, {fake::bytes(nullptr)}).i, 0);
  EXPECT_EQ(call(core::ByteSetLength, {integer(4)}).i, 0);
  EXPECT_EQ(call(core::PointerToByteSet, {integer(0x1000), integer(0)}).bin, nullptr);
  EXPECT_EQ(call(core::PointerToByteSet, {integer(0x1000), integer(-1)}).bin, nullptr);
  EXPECT_EQ(call(core::PointerToByteSet, {integer(0), integer(4)}).bin, nullptr);
  if (sizeof(void*) == 4) {
    static const char buf[] = "xyz";
    rt::Value r = call(core::PointerToByteSet, {integer(int32_t(uintptr_t(buf))), integer(3)});
    EXPECT_EQ(takeBytes(r), (std::vector<uint8_t>{'x', 'y', 'z'}));
  }
  EXPECT_EQ(fake::liveBlocks, 0);
}

// A command's working copy that cannot be had ends in the allocation report
// (exit -1), even where the result itself would have been small.
TEST(CommandsDeathTest, WorkingCopyOutOfMemoryReachesTheReport) {
  const std::string longText(4000, 'a');
  std::string pairs;
  for (int i = 0; i < 2000; ++i) pairs += "xa";
  struct Case {
    const char* name;
    rt::CommandFn fn;
    std::vector<rt::Value> args;
  } cases[] = {
      {"ToInteger", core::ToInteger, {text(longText.c_str())}},
      {"ReplaceText to nothing", core::ReplaceText, {text(pairs.c_str()), text("xa"), text("")}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(
        {
          fake::allocLimit = 1024;
          rt::Value r{};
          c.fn(&r, int32_t(c.args.size()), c.args.data());
        },
        testing::ExitedWithCode(kReportExitCode), "allocation of 4001 bytes failed");
  }
}
