// The exit status of a process ended by the run-time error report: it exits
// with -1, which a POSIX parent sees as 255.
#pragma once

#ifdef _WIN32
constexpr int kReportExitCode = -1;
#else
constexpr int kReportExitCode = 255;
#endif
