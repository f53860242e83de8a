#include "browser/presets.h"

namespace web {
namespace {

constexpr const char* kChrome =
    "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/69.0.3497.100 Safari/537.36";

struct Preset {
  const char* name;
  const char* userAgent;
};

// Matched in this order; the names keep their historical spelling.
constexpr Preset kPresets[] = {
    {"", ""},
    {"iPhone X",
     "Mozilla/5.0 (iPhone; CPU iPhone OS 11_0 like Mac OS X) AppleWebKit/604.1.38 (KHTML, like "
     "Gecko) Version/11.0 Mobile/15A372 Safari/604.1"},
    {"iPad Pro",
     "Mozilla/5.0 (iPad; CPU OS 11_0 like Mac OS X) AppleWebKit/604.1.34 (KHTML, like Gecko) "
     "Version/11.0 Mobile/15A5341f Safari/604.1"},
    {"安卓Galaxy S5",
     "Mozilla/5.0 (Linux; Android 5.0; SM-G900P Build/LRX21T) AppleWebKit/537.36 (KHTML, like "
     "Gecko) Chrome/69.0.3497.100 Mobile Safari/537.36"},
    {"Winsows Safari",
     "Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/534.50 (KHTML, like Gecko) Version/5.1 "
     "Safari/534.50"},
    {"Winsows Chrome", kChrome},
    {"默认UA", kChrome},
    {"Winsows Firefox", "Mozilla/5.0 (Windows NT 10.0; WOW64; rv:6.0) Gecko/20100101 Firefox/6.0"},
    {"Winsows Opera", "Opera/9.80 (Windows NT 10.0; U; zh-cn) Presto/2.9.168 Version/11.50"},
    {"Winsows IE9",
     "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 10.0; Win64; x64; Trident/5.0; .NET CLR "
     "2.0.50727; SLCC2; .NET CLR 3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0; InfoPath.3; "
     ".NET4.0C; Tablet PC 2.0; .NET4.0E)"},
    {"Winsows IE8",
     "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 10.0; WOW64; Trident/4.0; SLCC2; .NET CLR "
     "2.0.50727; .NET CLR 3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0; .NET4.0C; "
     "InfoPath.3)"},
    {"Winsows IE7", "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 10.0; WOW64)"},
};

}  // namespace

const char* presetUserAgent(std::string_view value) {
  for (const Preset& p : kPresets)
    if (value == p.name) return p.userAgent;
  return nullptr;
}

}  // namespace web
