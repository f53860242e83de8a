#include <malloc.h>

#include <cstdlib>
#include "runtime/heap_platform.h"

namespace rt {

// malloc(0) may answer null; the runtime heap always gives a block.
void* platformAlloc(uint32_t size) { return std::malloc(size ? size : 1); }
void* platformRealloc(void* p, uint32_t size) { return std::realloc(p, size ? size : 1); }
void platformFree(void* p) { std::free(p); }
size_t platformSize(const void* p) { return malloc_usable_size(const_cast<void*>(p)); }

}  // namespace rt
