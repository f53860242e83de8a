// Interface of the recording engine double (engine_double_win.cpp), shared
// with the tests and the benchmark that load it. Never shipped.
#pragma once
#include <cstdint>

#include "binding/engine_types.h"

// Pixel (x, y) of every double view's drawing surface, as 0x00RRGGBB.
inline uint32_t doublePattern(int x, int y) {
  return uint32_t((x * 7 + y) & 0xFF) << 16 | uint32_t((x >> 2) & 0xFF) << 8 |
         uint32_t((y * 3) & 0xFF);
}

// The two exports the double leaves out, in binding order.
#define DOUBLE_MISSING_FIRST "wkeGC"
#define DOUBLE_MISSING_SECOND "wkeSetName"

struct DoubleCallback {
  void* fn;
  void* param;
};

extern "C" {
typedef const char* (ENGINE_CALL* DoubleLogFn)();       // lines joined by '\n'
typedef void (ENGINE_CALL* DoubleResetFn)();
typedef void (ENGINE_CALL* DoubleSetResultsFn)(const char* text, int number);
typedef DoubleCallback (ENGINE_CALL* DoubleCallbackFn)(wkeWebView view, const char* registration);
typedef wkeString (ENGINE_CALL* DoubleStringFn)(const wchar_t* text);
}
