// The constant area: everything marked APP_CONST lands in one PE section
// group, ordered by name between the start and end markers, so the program
// header can give its bounds. Native builds only need the data.
#pragma once

#ifdef _WIN32
#define APP_CONST __attribute__((section(".rdata$pgn_m"), used))
#else
#define APP_CONST
#endif
