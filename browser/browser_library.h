// The browser support library's record, listed by the program header.
#pragma once
#include "runtime/abi.h"

extern const rt::LibraryRecord kBrowserLibrary;
