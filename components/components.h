// Component interfaces of the core library's window component types, and the
// runtime notification entry they raise events through.
#pragma once
#include "runtime/component_ops.h"

namespace comp {

void* RT_CALL windowInterface(int32_t op);
void* RT_CALL editBoxInterface(int32_t op);
void* RT_CALL buttonInterface(int32_t op);
void* RT_CALL timerInterface(int32_t op);

using rt::PropertyTextFn;

// The runtime notification entry (set by the core library's start
// notification; tests set their own). Null until then.
void setRuntimeNotify(rt::NotifyFn fn);
rt::NotifyFn runtimeNotify();

}  // namespace comp
