// The core support library: its record (types, commands, notification
// function) as the program header lists it.
#pragma once
#include "runtime/abi.h"

extern const rt::LibraryRecord kCoreLibrary;

namespace comp {
// The core library's type records, indexed by type number - 1.
extern const rt::TypeRecord kCoreTypes[51];
}  // namespace comp
