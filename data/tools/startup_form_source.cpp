// The startup window: a frame around a browser view posing as a tablet, with
// the address box and the two buttons over its top, and the layout timer.
#include "data/tools/startup_form_source.h"
#include <string>
#include "browser/view_properties.h"
#include "components/property_blocks.h"
#include "data/startup_form_ids.h"

namespace formgen {

namespace {

using form::stubOffset;

const char kCaption[] = "Brenmoor Paginet试卷下载器 V3.0 -By:tn462917";
// The platform's mobile reading page.
const char kStartAddress[] = "https://book.paginet.cn/q?c=120HYBKI30C";
const char kUserAgent[] =
    "Mozilla/5.0 (iPad; CPU OS 11_0 like Mac OS X) AppleWebKit/604.1.34 (KHTML, like Gecko) "
    "Version/11.0 Mobile/15A5341f Safari/604.1";

constexpr uint32_t kVisible = rt::kRecordVisible;
constexpr uint32_t kTabStop = rt::kRecordTabStop;

rt::ComponentRecord record(uint32_t id, uint32_t type, const char* name, int32_t left,
                           int32_t top, int32_t width, int32_t height, uint32_t flags,
                           std::vector<rt::EventBinding> events, std::vector<uint8_t> data) {
  rt::ComponentRecord r;
  r.id = id;
  r.typeCode = type;
  r.name = name;
  r.left = left;
  r.top = top;
  r.width = width;
  r.height = height;
  r.flags = flags;
  r.mousePointer.assign(4, 0);   // the default pointer
  r.events = std::move(events);
  r.propertyData = std::move(data);
  return r;
}

rt::EventBinding on(int32_t event, form::Stub routine) { return {event, stubOffset(routine), 0}; }

std::vector<uint8_t> buttonBlock(const char* caption) {
  comp::ButtonProps p;
  p.caption = caption;
  return comp::writeButtonProps(p);
}

}  // namespace

rt::FormDescription startupForm() {
  comp::WindowProps window;
  window.border = 1;
  window.maxBox = 1;
  window.caption = kCaption;
  comp::EditBoxProps edit;
  edit.content = kStartAddress;
  web::ViewProperties view;
  view.userAgent = kUserAgent;

  rt::WindowDescription d;
  d.headerA = 0x01570C88;
  d.headerB = 0x19010003;
  d.records = {
      record(form::kWindowRecord, rt::kTypeWindow, "", 50, 50, 1365, 840, kVisible,
             {on(8, form::kStubFirstActivation), on(4, form::kStubWindowResized),
              on(3, form::kStubWindowMoved)},
             comp::writeWindowProps(window)),
      record(form::kEditBox1, rt::kTypeEditBox, "编辑框1", 664, 100, 464, 48, kVisible | kTabStop,
             {}, comp::writeEditBoxProps(edit)),
      // No property data: every timer property keeps its default, period 0.
      record(form::kTimer1, rt::kTypeTimer, "时钟1", 1360, 264, 48, 32, 0,
             {on(0, form::kStubLayoutTimer)}, {}),
      record(form::kButton2, rt::kTypeButton, "按钮2", 511, 98, 150, 50, kVisible | kTabStop,
             {on(0, form::kStubHomeButton)}, buttonBlock("前往首页")),
      record(form::kButton1, rt::kTypeButton, "按钮1", 360, 98, 150, 50, kVisible | kTabStop,
             {on(0, form::kStubCaptureButton)}, buttonBlock("采集")),
      record(form::kBrowser1, rt::kTypeBrowserView, "VelmoWeb浏览器1", 0, 0, 1350, 800,
             kVisible | kTabStop, {}, web::writeViewProperties(view)),
  };
  rt::FormDescription form;
  form.windows.push_back({form::kStartupWindow, 0, std::move(d)});
  return form;
}

std::vector<uint8_t> startupFormBytes() { return rt::writeFormDescription(startupForm()); }

}  // namespace formgen
