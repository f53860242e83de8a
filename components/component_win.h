// Win32 glue shared by the core components.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "components/components.h"
#include "components/property_blocks.h"

namespace comp {

// Parents send notifications and colour requests back to the control that
// caused them with this offset, so each component handles its own.
constexpr UINT kReflect = 0x2000;

// Sends an event record through notification 2008. Returns the record so
// question events can read hasResult/result.
rt::EventRecord raiseEvent(const rt::LiveObject* obj, int32_t event, int32_t argc = 0,
                           const int32_t* args = nullptr);
// True when a question event's routine answered false.
inline bool cancelled(const rt::EventRecord& r) { return r.hasResult && r.result == 0; }
void notifyDestroyed(const rt::LiveObject* obj);

// A runtime heap block (notification 2024) holding bytes, for operation 5.
uint8_t* runtimeBlock(const std::vector<uint8_t>& bytes, uint32_t* size);

std::wstring widen(const Bytes& gbk);
Bytes narrow(const wchar_t* s, int len = -1);
Bytes windowTextOf(HWND hwnd);

// A font from a 60-byte native font description (GBK face name), or null
// when the data is not one.
HFONT createFont(const Bytes& data);
HFONT defaultGuiFont();

// The live object a component window answers kMsgQueryObject with.
rt::LiveObject* liveObjectOf(HWND hwnd);

// Where a component's record stands in its window's record list (-1 when
// the runtime does not know it), and its focus-order number.
int32_t recordIndexOf(const rt::LiveObject* obj);
uint32_t focusOrderOf(const rt::LiveObject* obj);

// The type record of a type code (notification 1002), or null.
const rt::TypeRecord* typeRecordOf(uint32_t typeCode);
// A component interface operation of an object's type, or null.
void* operationOf(const rt::LiveObject* obj, int32_t op);

// Operation 9 over the listed text properties (by number): get reads one,
// set writes a replacement through the component's own property change.
void walkPropertyTexts(rt::LiveObject* obj, const int32_t* numbers, int count,
                       PropertyTextFn fn, void* ctx);

// Subclasses a native control so proc sees its messages first.
bool subclass(HWND hwnd, SUBCLASSPROC proc, void* object);

}  // namespace comp
