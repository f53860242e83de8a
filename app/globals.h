// Program-level variables, set by OnFirstActivation.
#pragma once
#include <cstdint>
#include "runtime/abi.h"

namespace app {

extern rt::Value gMainBrowser;        // empty until first activation
extern int32_t gMainWebViewHandle;    // 0 until first activation

// The window layout: nearly full screen at (10, 5), the view covering it.
void ApplyWindowLayout();

}  // namespace app
