#include "browser/view_properties.h"

namespace web {

std::vector<uint8_t> writeViewProperties(const ViewProperties& p) {
  std::vector<uint8_t> out;
  rt::ByteWriter w(out);
  w.u32(kViewDataVersion);
  w.i32(p.disableF5);
  w.i32(p.disableCookies);
  w.ztext(p.url);
  w.ztext(p.localStoragePath);
  w.ztext(p.cookiePath);
  w.ztext(p.userAgent);
  w.i32(p.allowNewWindows);
  return out;
}

rt::ReadStatus readViewProperties(const uint8_t* data, size_t size, ViewProperties* out) {
  rt::ByteReader r(data, size);
  uint32_t version = 0;
  const rt::ReadStatus status = r.version(kViewDataVersion, &version);
  if (status != rt::ReadStatus::kOk) return status;
  out->disableF5 = r.i32();
  out->disableCookies = r.i32();
  out->url = r.ztext();
  out->localStoragePath = r.ztext();
  out->cookiePath = r.ztext();
  out->userAgent = r.ztext();
  out->allowNewWindows = r.i32();
  return r.bad ? rt::ReadStatus::kTruncated : rt::ReadStatus::kOk;
}

}  // namespace web
