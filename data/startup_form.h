// The startup window's form description, as the program embeds it.
#pragma once
#include <cstdint>

extern "C" const uint8_t kStartupForm[];
extern "C" const uint32_t kStartupFormSize;
