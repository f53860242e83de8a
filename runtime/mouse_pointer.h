// Mouse-pointer data (common property 7): a block whose first word is a
// pointer number, followed for a custom pointer by the bytes of a cursor
// file. Blocks keep the internal number; the application sees the public
// one, which is the system cursor's resource number.
#pragma once
#include <cstdint>
#include <vector>

namespace rt {

constexpr int32_t kPointerDefault = 0;   // both numberings: no cursor of its own
constexpr int32_t kPointerCustom = -1;   // both numberings: cursor file follows

// Unknown numbers translate to the default pointer.
int32_t publicPointer(int32_t internal);
int32_t internalPointer(int32_t publicNumber);
// Rewrites the first word of a block of 4 or more bytes; shorter blocks
// are left alone.
void translatePointerBlock(std::vector<uint8_t>* block, bool toPublic);

}  // namespace rt
