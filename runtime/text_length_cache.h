// How far a text is known to hold no terminator, so that FindText and
// MidText called again and again over one long text need not measure it
// from its start each time. Texts are runtime values: heap blocks and
// constants, written only by the DLL functions they are passed to. A block
// may be freed and handed out again with other content at the same
// address, so freeing or resizing a block forgets what was known of any
// text inside it, and every DLL command call forgets everything.
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" {
// Counts DLL command calls; bumped by the call trampoline.
extern volatile uint32_t paginetTextEpoch;
}

namespace rt {

// Whether the zero-terminated t has at least n bytes before its terminator
// (strnlen(t, n) == n), measuring only past what is already known.
bool textHasAtLeast(const char* t, size_t n);

// The block [block, block + size) is about to be freed or resized.
void forgetTextsIn(const void* block, size_t size);

}  // namespace rt
