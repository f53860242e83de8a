// Test-only replacement of the global operator new and delete. While it is
// switched on, every new block gets pages of its own; delete decommits them
// and they are never handed out again, so reading or writing a released
// object faults at once instead of passing unnoticed.
#pragma once
#include <cstddef>

namespace guarded {

void enable(bool on);
// True for a block the guarded heap handed out (live or released).
bool owns(const void* p);
// Blocks handed out so far.
size_t blocks();

}  // namespace guarded
