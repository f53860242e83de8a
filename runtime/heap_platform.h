// The seam under the runtime heap: the process heap on Windows, malloc in the
// native build. All three follow the platform call's own null semantics.
#pragma once
#include <cstddef>
#include <cstdint>

namespace rt {

void* platformAlloc(uint32_t size);
void* platformRealloc(void* p, uint32_t size);
void platformFree(void* p);
// Usable size of a live block.
size_t platformSize(const void* p);

}  // namespace rt
