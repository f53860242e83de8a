#include "runtime/mouse_pointer.h"
#include <cstring>

namespace rt {
namespace {

// Internal number i is entry i: the system cursors by resource number.
constexpr int32_t kSystemCursors[] = {
  kPointerDefault,
  32512,  // arrow
  32515,  // cross
  32513,  // text beam
  32514,  // hourglass
  32651,  // arrow and question mark
  32650,  // arrow and hourglass
  32648,  // no entry
  32646,  // four arrows
  32643,  // north-east and south-west
  32645,  // north and south
  32642,  // north-west and south-east
  32644,  // west and east
  32516,  // up arrow
  32649,  // hand
};
constexpr int32_t kCount = int32_t(sizeof kSystemCursors / sizeof kSystemCursors[0]);

}  // namespace

int32_t publicPointer(int32_t internal) {
  if (internal == kPointerCustom) return kPointerCustom;
  return internal > 0 && internal < kCount ? kSystemCursors[internal] : kPointerDefault;
}

int32_t internalPointer(int32_t publicNumber) {
  if (publicNumber == kPointerCustom) return kPointerCustom;
  for (int32_t i = 1; i < kCount; ++i)
    if (kSystemCursors[i] == publicNumber) return i;
  return kPointerDefault;
}

void translatePointerBlock(std::vector<uint8_t>* block, bool toPublic) {
  if (block->size() < 4) return;
  int32_t n;
  std::memcpy(&n, block->data(), 4);
  n = toPublic ? publicPointer(n) : internalPointer(n);
  std::memcpy(block->data(), &n, 4);
}

}  // namespace rt
