// A DLL for the DLL command tests: a stdcall export, a cdecl export and one
// exported only by ordinal 17 (see commands_test_dll.def).
#include <cstdint>

extern "C" {
__attribute__((stdcall)) int32_t Add2(int32_t a, int32_t b) { return a + b; }
__attribute__((cdecl)) int32_t Sum3(int32_t a, int32_t b, int32_t c) { return a + b + c; }
__attribute__((stdcall)) int32_t Seventeen() { return 1700; }
}
