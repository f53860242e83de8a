#include <windows.h>
#include "runtime/heap_platform.h"

namespace rt {

void* platformAlloc(uint32_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void* platformRealloc(void* p, uint32_t size) { return HeapReAlloc(GetProcessHeap(), 0, p, size); }
void platformFree(void* p) { HeapFree(GetProcessHeap(), 0, p); }
size_t platformSize(const void* p) { return HeapSize(GetProcessHeap(), 0, p); }

}  // namespace rt
