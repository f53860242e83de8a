#include "engine/device.h"

#include "engine/script.h"

namespace engine {

bool setDeviceParam(DeviceParams& p, std::string_view name, const char* text, int number) {
  if (name == "navigator.platform") {
    p.platform = text ? std::string(text) : std::string();
    return true;
  }
  struct Slot { std::string_view name; std::optional<int> DeviceParams::*field; };
  static const Slot kSlots[] = {
      {"navigator.maxTouchPoints", &DeviceParams::maxTouchPoints},
      {"navigator.hardwareConcurrency", &DeviceParams::hardwareConcurrency},
      {"screen.width", &DeviceParams::screenWidth},
      {"screen.height", &DeviceParams::screenHeight},
      {"screen.availWidth", &DeviceParams::availWidth},
      {"screen.availHeight", &DeviceParams::availHeight},
  };
  for (const Slot& s : kSlots) {
    if (s.name == name) {
      p.*s.field = number;
      return true;
    }
  }
  return false;
}

std::string deviceScript(const DeviceParams& p) {
  std::string defs;
  auto add = [&](const char* proto, const char* key, const std::string& value) {
    defs += "d(" + std::string(proto) + ".prototype,'" + key + "'," + value + ");";
  };
  if (p.platform) add("Navigator", "platform", jsonQuote(*p.platform));
  if (p.maxTouchPoints) add("Navigator", "maxTouchPoints", std::to_string(*p.maxTouchPoints));
  if (p.hardwareConcurrency) add("Navigator", "hardwareConcurrency", std::to_string(*p.hardwareConcurrency));
  if (p.screenWidth) add("Screen", "width", std::to_string(*p.screenWidth));
  if (p.screenHeight) add("Screen", "height", std::to_string(*p.screenHeight));
  if (p.availWidth) add("Screen", "availWidth", std::to_string(*p.availWidth));
  if (p.availHeight) add("Screen", "availHeight", std::to_string(*p.availHeight));
  if (defs.empty()) return {};
  return "(()=>{const d=(o,k,v)=>{try{Object.defineProperty(o,k,{get:()=>v,configurable:true});}"
         "catch(e){}};" + defs + "})();";
}

}  // namespace engine
