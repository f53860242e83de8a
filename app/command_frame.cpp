#include "app/command_frame.h"
#include <cstring>

namespace app {

const rt::ServiceTable* gServices = nullptr;

char* concatText(std::initializer_list<const char*> parts) {
  size_t n = 0;
  for (const char* p : parts) n += p ? strlen(p) : 0;
  if (n == 0) return nullptr;
  char* t = static_cast<char*>(gServices->allocMemory(uint32_t(n + 1)));
  char* end = t;
  for (const char* p : parts) {
    if (!p) continue;   // an empty text is null, and memcpy takes no null
    const size_t k = strlen(p);
    memcpy(end, p, k);
    end += k;
  }
  *end = 0;
  return t;
}

}  // namespace app
