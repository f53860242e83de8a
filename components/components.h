// Component interfaces of the core library's window component types, and the
// runtime notification entry they raise events through.
#pragma once
#include "runtime/abi.h"

namespace comp {

void* RT_CALL windowInterface(int32_t op);
void* RT_CALL editBoxInterface(int32_t op);
void* RT_CALL buttonInterface(int32_t op);
void* RT_CALL timerInterface(int32_t op);

// Operation 9: called once per text property with its current GBK text;
// a non-null answer replaces the text (the component copies it).
typedef const char* (RT_CALL* PropertyTextFn)(void* ctx, int32_t index, const char* text);
typedef void (RT_CALL* PropertyTextsFn)(rt::LiveObject* obj, PropertyTextFn fn, void* ctx);
// Operation 7: the window's icon data, or null (and *size 0) without one.
typedef const uint8_t* (RT_CALL* IconDataFn)(rt::LiveObject* obj, uint32_t* size);

// The runtime notification entry (set by the core library's start
// notification; tests set their own). Null until then.
void setRuntimeNotify(rt::NotifyFn fn);
rt::NotifyFn runtimeNotify();

}  // namespace comp
