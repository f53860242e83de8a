// The whole binary contract shared by compiled application code, the
// runtime, the support libraries and their component types, for code that
// uses most of it. Each header holds one concern and can be included alone.
#pragma once
#include "runtime/typed_value.h"       // type tags, Value, command functions
#include "runtime/notifications.h"     // notification codes, private messages
#include "runtime/event_records.h"     // event records, routine result slot
#include "runtime/library_records.h"   // library, type and property records
#include "runtime/component_object.h"  // live object header, operation numbers
#include "runtime/service_table.h"     // program header, service table
