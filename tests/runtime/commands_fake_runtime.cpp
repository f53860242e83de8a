#include "tests/runtime/commands_fake_runtime.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "runtime/runtime.h"
#include "runtime/text_length_cache.h"

namespace fake {
void (*onReport)() = nullptr;
int processEventsCalls = 0;
int liveBlocks = 0;
uint32_t allocLimit = UINT32_MAX;
std::string runDir = ".", moduleDir;
void setDirectories(std::string run, std::string module) {
  runDir = std::move(run);
  moduleDir = std::move(module);
}
}  // namespace fake

namespace rt {

// Each block carries its size ahead of it, so that freeing it can forget
// what was known of texts inside it, as the real heap does.
constexpr size_t kSizeHeader = 16;

void* allocRaw(uint32_t size) {
  if (size > fake::allocLimit) return nullptr;
  auto* p = static_cast<uint8_t*>(std::malloc(kSizeHeader + (size ? size : 1)));
  if (!p) return nullptr;
  std::memcpy(p, &size, sizeof size);
  ++fake::liveBlocks;
  return p + kSizeHeader;
}

void allocationFailed(uint32_t size) {
  std::fprintf(stderr, "allocation of %u bytes failed\n", unsigned(size));
  char msg[64];
  std::snprintf(msg, sizeof msg, "分配 %d 字节内存失败!", int32_t(size));
  reportError(msg, 0, 0, 0);
}

void* allocMemory(uint32_t size) {
  void* p = allocRaw(size);
  if (!p) allocationFailed(size);
  return p;
}

void freeMemory(void* p) {
  if (!p) return;
  --fake::liveBlocks;
  auto* block = static_cast<uint8_t*>(p) - kSizeHeader;
  uint32_t size;
  std::memcpy(&size, block, sizeof size);
  forgetTextsIn(p, size);
  std::free(block);
}

void reportError(std::string_view message, int32_t code, int32_t w1, int32_t w2) {
  if (fake::onReport) fake::onReport();
  std::printf("REPORT code=%d w=%d,%d message=", code, w1, w2);
  for (unsigned char c : message) std::printf("%02X", c);
  std::printf("\n");
  std::fflush(stdout);
  std::_Exit(-1);
}

const std::string& runDirectory() { return fake::runDir; }
const std::string& moduleDirectory() { return fake::moduleDir; }
void processEvents() { ++fake::processEventsCalls; }
int32_t RT_CALL notify(int32_t, uint32_t, uint32_t) { return 0; }

}  // namespace rt
